#pragma once

#include <QString>
#include <functional>

// A file written beside its target under a hidden name, ".NAME.PID-N.part", that gets the
// target's name only once it is whole and on disk: whoever looks finds the complete file or
// none. A part that was never put in place goes with the object, and its "-journal" with
// it (SQLite keeps one beside a database it writes). A writer killed outright leaves both
// behind; removeDeadWritersParts clears them.
class PartFile {
public:
    // Makes an empty part in the target's folder, under a name no one else holds. Throws
    // FileSystem when the folder takes no new file.
    explicit PartFile(const QString &target);
    ~PartFile();
    PartFile(const PartFile &) = delete;
    PartFile &operator=(const PartFile &) = delete;

    const QString &path() const { return path_; }
    const QString &target() const { return target_; }

    // Gives the part the target's name, never replacing a file: FileExists when one is
    // there, even one that appeared a moment ago.
    void putInPlace();
    // Gives the part the target's name, replacing in one step whatever file has it.
    void replace();

private:
    void syncPart() const;
    void syncFolder() const;

    QString target_;
    QString path_;
    bool placed_ = false;
};

// Removes from folder the parts, and their journals, that writers now dead left of the
// targets whose file name isTarget accepts. A live writer's part, and every other file, stays.
void removeDeadWritersParts(const QString &folder,
                            const std::function<bool(const QString &targetName)> &isTarget);
