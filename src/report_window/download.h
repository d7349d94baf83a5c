#pragma once

#include <QString>
#include <QStringList>

// The course site's download a report is made of: a ZIP, a folder, or send
// files, as chosen, dropped or given on the command line.

// The paths as one line of text, as a file dialog shows several files: one
// path as it is, several each in quotes.
QString downloadText(const QStringList& paths);
// The paths of such a line; a path typed alone needs no quotes.
QStringList downloadPaths(const QString& text);

// Why the paths are not a download, naming the path and the reason; empty
// when they are one. A ZIP is taken by its name: the report itself tells
// one that is not a ZIP archive.
QString downloadProblem(const QStringList& paths);

// The folder beside the download, where its results go unless another is
// chosen: the folder holding the ZIP, the folder or the first send file.
QString besideTheDownload(const QStringList& paths);

// The names of the files a report of the download is written to, in the
// order page, workbook, grades: "submissions.html", "submissions.xlsx",
// "submissions-grades.csv" for "submissions.zip" or the folder
// "submissions"; "report.html" and so on for several send files.
QStringList outputNames(const QStringList& paths);
