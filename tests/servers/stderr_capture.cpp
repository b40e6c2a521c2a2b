#include "tests/servers/stderr_capture.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>

StderrCapture::StderrCapture(const std::string& path) : fPath(path) {
    std::cerr.flush();
    fflush(stderr);
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (file < 0) return;
    fSaved = dup(STDERR_FILENO);
    dup2(file, STDERR_FILENO);
    close(file);
}

StderrCapture::~StderrCapture() {
    End();
}

std::string StderrCapture::End() {
    if (fSaved < 0) return {};
    std::cerr.flush();
    fflush(stderr);
    dup2(fSaved, STDERR_FILENO);
    close(fSaved);
    fSaved = -1;
    std::ifstream in(fPath);
    std::string text(std::istreambuf_iterator<char>(in), {});
    fputs(text.c_str(), stderr);
    return text;
}
