#pragma once
// A file written beside its target and renamed over it once every byte is in, so that a write
// that fails (a full disk, a size limit) leaves what was there. A target that is not a regular
// file (a device, a pipe) has nothing to be renamed over it and is written in place.
#include <cstddef>
#include <string>

class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    // A file that was not committed goes; the target stays as it was.
    ~OutputFile();

    // Opens the file that is to become `path`; false with `error` set.
    bool Open(const std::string& path, std::string& error);
    // Open until Commit; a writer that closes its own copy gets a dup() of it.
    int Descriptor() const { return m_fd; }
    bool Write(const void* data, std::size_t size, std::string& error);
    // Puts the file in the target's place once it is safely on the disk.
    bool Commit(std::string& error);

private:
    bool Fail(std::string& error, int code);

    std::string m_path;       // as the user named it, for messages
    std::string m_target;     // where a link leads, so that the link stays one
    std::string m_temporary;  // empty when written in place
    int m_fd = -1;
};
