#pragma once
// The real program serving requests: a program folder with the binary and its data files, a
// data folder whose settings activate an interface and the request server at start-up
// (working directory, 0.1 s poll unless told), and the program started there with its
// stderr kept, as this user or (runAs) as another one.

#include "core/base/settings.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <pwd.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace testing_support {

class ServerProgram : public ::testing::Test {
protected:
    TempDir program, profile, work;
    pid_t pid = -1;
    // The user the program runs as (-1: this one). giveTo hands the folders over.
    uid_t runAsUid = static_cast<uid_t>(-1);
    gid_t runAsGid = static_cast<gid_t>(-1);

    // The unprivileged user "nobody"; false when there is none.
    bool runAsNobody()
    {
        const passwd* p = ::getpwnam("nobody");
        if (!p)
            return false;
        runAsUid = p->pw_uid;
        runAsGid = p->pw_gid;
        for (const TempDir* d : {&program, &profile, &work})
            for (const auto& e : std::filesystem::recursive_directory_iterator(d->path()))
                ::lchown(e.path().c_str(), runAsUid, runAsGid);
        for (const TempDir* d : {&program, &profile, &work})
            ::chown(d->path().c_str(), runAsUid, runAsGid);
        return true;
    }

    // The program folder and the settings: interface is the "microLAN driver" caption.
    void prepare(const std::string& interface, const std::string& pollTime = "0.1")
    {
        namespace fs = std::filesystem;
        fs::copy_file(programBinary(), program / "tedsmith");
        for (const char* f : {"TagList.xdl", "ManufacturerList.xdl", "IEEE_Templates.tdl"})
            fs::copy_file(dataDir() / f, program / f);
        const fs::path ini = profile / "Morvelund" / "QT8061" / "QT8061_Inifile.txt";
        fs::create_directories(ini.parent_path());
        core::Inifile_CreateKeyWithValue(ini, "Com port", 1);
        core::Inifile_CreateKeyWithValue(ini, "Interface", interface);
        core::Inifile_CreateKeyWithValue(ini, "IF Active at startup", 1);
        core::Inifile_CreateKeyWithValue(ini, "T-block Server Active at startup", 1);
        core::Inifile_CreateKeyWithValue(ini, "T-block workdir", work.path().string() + "/");
        core::Inifile_CreateKeyWithValue(ini, "T-block server enabled", 1);
        core::Inifile_CreateKeyWithValue(ini, "T-block server EditorVisible", 1);
        core::Inifile_CreateKeyWithValue(ini, "T-block pooltime", pollTime);
    }
    // Starts the program in its folder, headless and without dialogs, with env set too.
    void start(const std::vector<std::pair<std::string, std::string>>& env)
    {
        pid = ::fork();
        if (pid == 0) {
            if (::chdir(program.path().c_str()) != 0)
                ::_exit(127);
            const int err = ::open((profile / "stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(err, 2);
            ::setenv("AllUsersProfile", profile.path().c_str(), 1);
            ::setenv("TEDSMITH_NO_DIALOGS", "1", 1);
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            for (const auto& [name, value] : env)
                ::setenv(name.c_str(), value.c_str(), 1);
            if (runAsUid != static_cast<uid_t>(-1)) {
                ::setenv("HOME", profile.path().c_str(), 1);
                ::setenv("XDG_RUNTIME_DIR", profile.path().c_str(), 1);
                if (::setgid(runAsGid) != 0 || ::setuid(runAsUid) != 0)
                    ::_exit(126);
            }
            ::execl("./tedsmith", "./tedsmith", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ASSERT_GT(pid, 0);
    }
    void TearDown() override
    {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
            pid = -1;
        }
    }
    std::string errors() { return readAll(profile / "stderr.txt"); }
};

} // namespace testing_support
