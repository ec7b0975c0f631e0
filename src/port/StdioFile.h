// Opens a file as a C stdio stream for the logs and the small text files the monitor reads
// with getc. The path is UTF-8 on every system (on Windows it is opened through its wide
// name), and the stream is binary everywhere: the bytes written are the bytes in the file,
// without the CR that a Windows text stream would add before each LF. Any thread may call it;
// the caller owns the stream and closes it with fclose.
#pragma once

#include <cstdio>
#include <string>

namespace port {

// mode as for fopen, without "b"; null when the file cannot be opened.
std::FILE* openFile(const std::string& path, const char* mode);

}  // namespace port
