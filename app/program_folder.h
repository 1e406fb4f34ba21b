#pragma once

#include <QString>

#include <string>

// The program's folder as the engine takes it: `directory` with symbolic links resolved
// (as given when it does not exist), in native separators, UTF-8, ending in exactly one
// separator; a root folder keeps its single one.
std::string AppFolderOf(const QString& directory);

// The address behind the credit line: `homepage` when one was configured, else the README
// shipped beside the program, as a file URL.
QString CreditAddress(const QString& homepage, const std::string& appFolder);
