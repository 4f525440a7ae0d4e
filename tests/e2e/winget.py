#!/usr/bin/env python3
"""The winget manifests agree with the setup program and its script:
    winget.py MANIFEST_DIR SETUP.exe NSI VERSION
They parse as YAML, form one version's set of the multi-file schema, carry the built setup
program's SHA-256, and their apps-and-features values are what the script writes into Add or
Remove Programs. The script's silent run must not show a window or start another program
(only an elevated, silent copy of itself)."""
import glob
import hashlib
import os
import re
import sys

import yaml

failures = 0


def check(ok, what):
    global failures
    print(("PASS: " if ok else "FAIL: ") + what)
    failures += not ok


def main(argv):
    if len(argv) != 5:
        sys.exit(f"usage: {argv[0]} MANIFEST_DIR SETUP.exe NSI VERSION")
    folder, setup, nsi, version = argv[1:]
    manifests = {}
    for path in sorted(glob.glob(os.path.join(folder, "*.yaml"))):
        try:
            with open(path, encoding="utf-8") as f:
                data = yaml.safe_load(f)
            manifests[data["ManifestType"]] = data
            check(True, f"{os.path.basename(path)} parses ({data['ManifestType']})")
        except (yaml.YAMLError, KeyError, TypeError) as error:
            check(False, f"{os.path.basename(path)} parses: {error}")
    check(sorted(manifests) == ["defaultLocale", "installer", "version"],
          f"one version, installer and defaultLocale manifest each: {sorted(manifests)}")
    if failures:
        return 1
    ids = {(m["PackageIdentifier"], str(m["PackageVersion"]), m["ManifestVersion"]) for m in manifests.values()}
    check(len(ids) == 1 and str(manifests["version"]["PackageVersion"]) == version,
          f"the same package, version {version} and schema in all: {ids}")
    check(manifests["version"]["DefaultLocale"] == manifests["defaultLocale"]["PackageLocale"],
          "the default locale is the locale manifest's")

    installer = manifests["installer"]
    check(installer["InstallerType"] == "nullsoft" and installer["Scope"] == "machine"
          and installer["InstallerSwitches"]["Silent"] == "/S",
          "a nullsoft setup program for the machine, silent with /S")
    entries = installer["Installers"]
    with open(setup, "rb") as f:
        sha256 = hashlib.sha256(f.read()).hexdigest()
    architectures = sorted(entry.get("Architecture") for entry in entries)
    check(architectures == ["x64", "x86"], f"the setup program is listed for x86 and x64: {architectures}")
    check(all(entry["InstallerSha256"].lower() == sha256 for entry in entries),
          f"each installer's SHA-256 is the built setup program's ({sha256})")

    with open(nsi, encoding="utf-8") as f:
        script = f.read()
    defines = dict(re.findall(r'^!define\s+(\w+)\s+"([^"]*)"', script, re.M))
    written = {}
    for name, value in re.findall(r'WriteRegStr HKLM "\$\{UNINST_KEY\}" "(\w+)" "([^"]*)"', script):
        written[name] = re.sub(r"\$\{(\w+)\}", lambda m: {**defines, "VERSION": version}[m.group(1)], value)
    expected = {"DisplayName": written.get("DisplayName"), "Publisher": written.get("Publisher"),
                "DisplayVersion": written.get("DisplayVersion"),
                "ProductCode": defines["UNINST_KEY"].rsplit("\\", 1)[-1]}
    for entry in entries:
        features = entry.get("AppsAndFeaturesEntries", [{}])
        got = {key: str(features[0].get(key)) for key in expected}
        check(len(features) == 1 and got == expected,
              f"{entry.get('Architecture')}: apps and features are the uninstall entry's: {got}, script {expected}")
        check(entry.get("ProductCode") == expected["ProductCode"],
              f"{entry.get('Architecture')}: the product code is the uninstall key's name")

    # A silent run answers every message box itself and starts nothing.
    boxes = re.findall(r"^\s*MessageBox\b.*$", script, re.M)
    check(all("/SD" in box for box in boxes), f"all {len(boxes)} message boxes have a silent answer")
    starts = re.findall(r"^\s*(Exec\w*|ExecShell\w*|!define MUI_FINISHPAGE_RUN\w*)\b", script, re.M | re.I)
    check(not starts, f"the setup program starts no other program: {starts}")
    # Only itself, elevated, for the machine part, and silent when it is.
    shell = re.findall(r"ShellExecute\w*", script)
    itself = re.findall(r'w "runas", w "\$EXEPATH", w "\$R1"', script)
    passes_silent = re.search(r'IfSilent 0 \+2\s+StrCpy \$R1 "\$R1 /S"', script)
    check(len(shell) == len(itself) and (not itself or passes_silent),
          f"the shell starts only the program itself, passing /S on: {len(shell)} call(s), {len(itself)} of itself")

    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
