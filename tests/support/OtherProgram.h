// Another copy of the program with the database open, in a process of its
// own (db_holder, built beside the tests): what the sharing of one file
// between desks is tested against. Header only: each test folder is a
// program of its own.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

class TOtherProgram {
public:
    // Starts the other program on the database of connectionString and
    // waits until it has opened it (or failed to: see Status).
    explicit TOtherProgram(const std::string& connectionString, bool exclusive = false) {
        int toChild[2], fromChild[2];
        // Close-on-exec, so a later child does not keep this one's input open.
        if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(toChild[0], 0);
            dup2(fromChild[1], 1);
            for (int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]}) close(fd);
            execl(DB_HOLDER, DB_HOLDER, connectionString.c_str(), exclusive ? "exclusive" : "shared",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        close(toChild[0]);
        close(fromChild[1]);
        in_ = fdopen(toChild[1], "w");
        out_ = fdopen(fromChild[0], "r");
        status_ = readLine();
    }
    ~TOtherProgram() { End(); }
    TOtherProgram(const TOtherProgram&) = delete;
    TOtherProgram& operator=(const TOtherProgram&) = delete;

    // "open", or "error " and the reason it could not open the database.
    const std::string& Status() const { return status_; }
    bool Opened() const { return status_ == "open"; }

    // Runs one statement there: "ok", or "error " and the engine's message.
    std::string Run(const std::string& sql) {
        if (!in_) return "error not running";
        std::fprintf(in_, "%s\n", sql.c_str());
        std::fflush(in_);
        return readLine();
    }

    // Ends the program as a crash would (SIGKILL): nothing is closed.
    void Kill() {
        if (pid_ > 0) kill(pid_, SIGKILL);
        End();
    }

    // Ends it normally, closing its connection.
    void End() {
        if (in_) std::fclose(in_);
        if (out_) std::fclose(out_);
        in_ = out_ = nullptr;
        if (pid_ > 0) waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    std::string readLine() {
        std::string line;
        int c;
        while (out_ && (c = std::fgetc(out_)) != EOF && c != '\n') line += char(c);
        return line;
    }

    pid_t pid_ = -1;
    FILE* in_ = nullptr;
    FILE* out_ = nullptr;
    std::string status_;
};
