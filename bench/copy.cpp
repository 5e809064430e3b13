// Copies one item into a folder as FileSystemService::copy does (it hands the copy to
// ItemTransfer::copy), for bench/run.sh to time beside `cp -a`. The whole process is timed, so it
// starts no more than the copy needs: no application object, the arguments taken as the bytes
// they are, and only the libraries the copy itself uses (bench/CMakeLists.txt).
//   copy SOURCE DESTINATION_FOLDER

#include "fileerror.h"
#include "filepath.h"
#include "itemtransfer.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: copy SOURCE DESTINATION_FOLDER\n");
        return 2;
    }
    try {
        ItemTransfer::copy(FilePath::fromNative(argv[1]), FilePath::fromNative(argv[2]));
    } catch (const FileError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
