// A temporary folder for the engine and text-reader tests, removed afterwards.
#pragma once

#include <sys/stat.h>
#include <sys/time.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/lookup-engine-XXXXXX";
        path_ = ::mkdtemp(pattern);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    // The folder with a trailing "/", as connection strings carry it.
    std::string dir() const { return path_ + "/"; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // Writes the bytes exactly as given.
    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(file(name), std::ios::binary) << bytes;
        return file(name);
    }
    // Moves the file's modification time by `seconds`, as an edit would.
    void touch(const std::string& name, int seconds) const {
        struct stat st {};
        ::stat(file(name).c_str(), &st);
        timeval times[2] = {{st.st_atim.tv_sec, 0}, {st.st_mtim.tv_sec + seconds, 0}};
        ::utimes(file(name).c_str(), times);
    }

private:
    std::string path_;
};
