#pragma once

// The list behind "Plik → Ostatnio otwierane": the newest file first, each file
// once, at most eight.

#include <QStringList>

namespace tarnik {

class RecentFiles {
public:
    static constexpr int kMaxFiles = 8;

    // Takes a stored list as it is found: empty and repeated names are dropped,
    // and only the first eight are kept.
    explicit RecentFiles(const QStringList& stored = {});

    // Puts `fileName` (made absolute) at the front.
    void add(const QString& fileName);
    void remove(const QString& fileName);
    const QStringList& files() const { return files_; }

private:
    QStringList files_;
};

}  // namespace tarnik
