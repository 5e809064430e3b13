// Copies one item into a folder through FileSystemService::copy, for bench/run.sh to time
// beside `cp -a`.
//   copy SOURCE DESTINATION_FOLDER

#include "fileerror.h"
#include "filesystemservice.h"
#include "filepath.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: copy SOURCE DESTINATION_FOLDER\n");
        return 2;
    }
    try {
        FileSystemService().copy(FilePath::fromString(args[1]), FilePath::fromString(args[2]));
    } catch (const FileError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
