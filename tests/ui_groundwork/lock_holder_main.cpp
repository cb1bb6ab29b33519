// Holds the program-directory lock of the folder given as its argument until its standard
// input closes or it is killed: the other process in the lock tests.
#include "platform/program_directory_lock.h"

#include <QCoreApplication>

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) return 2;
    vorla::ProgramDirectoryLock lock(QString::fromLocal8Bit(argv[1]));
    if (lock.TryAcquire() != vorla::ProgramDirectoryLock::Result::Acquired) {
        std::puts("refused");
        return 1;
    }
    std::puts("locked");
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);  // blocks without using CPU
    return 0;
}
