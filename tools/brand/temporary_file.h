#pragma once
// The new contents' file beside the output, under a short name of its own
// (the output's name may already be as long as names can be), renamed over
// the output once written. Removed unless renamed into place, also when the
// tool is ended from outside (a signal, a console control event). The steps
// are the same on every system; each file_system_*.cpp gives the calls, as
// its System:
//
//   Name, Error, File      the name as the system takes it, 0 or why a call
//                          failed, the owner of an open file
//   EndingHeld             keeps the ending handler out while it is held
//   handleEnding()         installs the handler that removes the file
//   removeAtEnding(name)   the name the handler removes, or null
//   nameOf(path)           the UTF-8 path as a Name
//   processId()            a number that tells this run's name apart
//   createNew(name, file)  creates the file only if no file has the name
//   alreadyThere(error)    the error of createNew for a name that is taken
//   close(file), rename(name, path), remove(name)
//
//   TemporaryFile<PosixFiles> temporary(PosixFiles{ mode });
//   Error error = temporary.create(directory);
//   ... write to temporary.handle() ...
//   error = temporary.closeAndRename(path);
#include <string>

template <typename System>
class TemporaryFile {
public:
    using Error = typename System::Error;

    explicit TemporaryFile(System system = System()) : system_(system) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        file_.reset();
        typename System::EndingHeld held;
        if (present_)
            system_.remove(name_);
        system_.removeAtEnding(nullptr);
    }

    auto handle() const { return file_.get(); }

    // 0, or the error that kept the file from being made.
    Error create(const std::string& directory)
    {
        system_.handleEnding();
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            name_ = system_.nameOf(directory + ".brand-" + std::to_string(system_.processId())
                                   + (attempt ? "-" + std::to_string(attempt) : ""));
            typename System::EndingHeld held;
            Error error = system_.createNew(name_, file_);
            if (error != 0 && system_.alreadyThere(error))
                continue;
            if (error != 0)
                return error;
            present_ = true;
            system_.removeAtEnding(&name_);
            return 0;
        }
        return system_.kAlreadyThere;
    }

    // 0, or the error that kept the file from taking the path's name.
    Error closeAndRename(const std::string& path)
    {
        Error error = system_.close(file_);
        if (error != 0)
            return error;
        typename System::EndingHeld held;
        error = system_.rename(name_, path);
        if (error != 0)
            return error;
        present_ = false;
        system_.removeAtEnding(nullptr);
        return 0;
    }

private:
    static const int kAttempts = 100;

    System system_;
    typename System::File file_;
    typename System::Name name_;
    bool present_ = false;
};
