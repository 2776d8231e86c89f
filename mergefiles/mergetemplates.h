#pragma once

#include <QSet>
#include <QString>
#include <optional>
#include <sys/types.h>

// The templates of the program's "Word" folder for many lookups in a row (a search adds an entry
// for each file): the folder is read once, and again only when it has changed since. has() says
// what hasMergeTemplate says. The system stamps a change with a coarse clock, so a folder changed
// only just before it was read is read again at the next lookup.
namespace qv {

class MergeTemplates {
public:
    bool has(const QString& name);

private:
    struct Stamp {
        ino_t inode = 0;
        timespec modified{};
        bool operator==(const Stamp& other) const;
    };
    static std::optional<Stamp> stampOf(const QString& folder);
    void read(const QString& folder);

    std::optional<Stamp> stamp_;
    bool read_ = false;
    bool recent_ = false; // the folder changed shortly before it was read
    QSet<QString> names_; // the plain files' names, case-folded
};

} // namespace qv
