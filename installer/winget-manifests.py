#!/usr/bin/env python3
"""Writes the winget manifest set (version, installer, default locale) for a setup program:
    winget-manifests.py NSI SETUP VERSION URL OUTDIR
The apps-and-features values are read from the installer script, so that the manifests say
what the setup program writes into Add or Remove Programs."""
import hashlib
import os
import re
import sys

MANIFEST_VERSION = "1.12.0"
IDENTIFIER = "Kindlewick.Kindlewick"
SCHEMA = "https://aka.ms/winget-manifest.{}.{}.schema.json"


def uninstall_entry(nsi_text):
    """The uninstall key's name and its DisplayName, Publisher and DisplayVersion values."""
    defines = dict(re.findall(r'^!define\s+(\w+)\s+"([^"]*)"', nsi_text, re.M))

    def expand(text):
        return re.sub(r"\$\{(\w+)\}", lambda m: defines.get(m.group(1), m.group(0)), text)

    values = {}
    for name, value in re.findall(
            r'^\s*WriteRegStr\s+HKLM\s+"\$\{UNINST_KEY\}"\s+"(\w+)"\s+"([^"]*)"', nsi_text, re.M):
        values[name] = expand(value)
    values["ProductCode"] = defines["UNINST_KEY"].split("\\")[-1]
    return values


def main(argv):
    if len(argv) != 6:
        sys.exit(f"usage: {argv[0]} NSI SETUP VERSION URL OUTDIR")
    nsi, setup, version, url, outdir = argv[1:]
    with open(nsi, encoding="utf-8") as f:
        entry = uninstall_entry(f.read())
    if entry.get("DisplayVersion") != "${VERSION}":
        sys.exit(f"{nsi}: DisplayVersion is not the setup program's VERSION")
    with open(setup, "rb") as f:
        sha256 = hashlib.sha256(f.read()).hexdigest().upper()

    # One setup program for both: it installs the saver that suits the Windows it runs on.
    installers = "".join(f"""  - Architecture: {architecture}
    InstallerUrl: {url}
    InstallerSha256: {sha256}
    ProductCode: '{entry["ProductCode"]}'
    AppsAndFeaturesEntries:
      - DisplayName: '{entry["DisplayName"]}'
        Publisher: '{entry["Publisher"]}'
        DisplayVersion: '{version}'
        ProductCode: '{entry["ProductCode"]}'
""" for architecture in ("x86", "x64"))

    def head(kind):
        return (f"# yaml-language-server: $schema={SCHEMA.format(kind, MANIFEST_VERSION)}\n"
                f"PackageIdentifier: {IDENTIFIER}\nPackageVersion: {version}\n")

    files = {
        "": head("version") + "DefaultLocale: en-US\nManifestType: version\n",
        ".installer": head("installer") + f"""InstallerType: nullsoft
Scope: machine
ElevationRequirement: elevatesSelf
InstallModes:
  - interactive
  - silent
InstallerSwitches:
  Silent: /S
  SilentWithProgress: /S
UpgradeBehavior: install
ExpectedReturnCodes:
  - InstallerReturnCode: 1
    ReturnResponse: cancelledByUser
Installers:
{installers}ManifestType: installer
""",
        ".locale.en-US": head("defaultLocale") + f"""PackageLocale: en-US
Publisher: '{entry["Publisher"]}'
PackageName: Kindlewick
License: MIT
ShortDescription: An animated fire screen saver for Windows.
Description: Fires are lit one after another at random places over a picture of the desktop, burn, die down and leave a scorched patch; a firefly can fly to each new fire.
Tags:
  - screensaver
  - fire
ManifestType: defaultLocale
""",
    }
    os.makedirs(outdir, exist_ok=True)
    for suffix, text in files.items():
        with open(os.path.join(outdir, f"{IDENTIFIER}{suffix}.yaml"), "w", encoding="utf-8",
                  newline="\n") as f:
            f.write(text + f"ManifestVersion: {MANIFEST_VERSION}\n")


if __name__ == "__main__":
    main(sys.argv)
