#pragma once

#include <QString>
#include <QStringList>

// The files of a run written into a staging folder inside the folder they go
// to, and moved into place only once whole: a run stopped or failed leaves
// nothing half-written beside the files of an earlier run, which stay as
// they were until the new ones are complete.
class StagedOutputs
{
public:
    StagedOutputs() = default;
    StagedOutputs(const StagedOutputs&) = delete;
    StagedOutputs& operator=(const StagedOutputs&) = delete;
    // What is still staged is removed.
    ~StagedOutputs();

    // Makes the staging folder in `folder`; empty, or the folder and the
    // system's reason it cannot be written there.
    QString open(const QString& folder);

    // Where the file of that name is written until it is moved into place.
    QString staged(const QString& name) const;
    // The path of a file of the staging folder as it will be once in place.
    QString shownPath(const QString& text) const;

    // Moves each staged file of the names that was written into the folder,
    // replacing a file of its name there: the paths moved, and a line for
    // each file that could not be, with the system's reason.
    struct Moved {
        QStringList paths;
        QStringList failures;
    };
    Moved moveIntoPlace(const QStringList& names);

    // Removes the staging folder and what it holds.
    void discard();

private:
    QString folder_;
    QString staging_;
};
