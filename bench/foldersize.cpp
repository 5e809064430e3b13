// Adds up the bytes under a folder the way the information dialog does, so its speed can be
// compared with du (bench/run.sh). Prints the total in bytes.

#include "filesystemservice.h"

#include <QTextStream>
#include "filepath.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const qint64 total = FileSystemService().directorySize(FilePath::fromString(QString::fromLocal8Bit(argv[1])));
    QTextStream(stdout) << total << Qt::endl;
    return 0;
}
