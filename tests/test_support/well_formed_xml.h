#pragma once

// Checks a file with a real XML parser, so that a menu whatever reads it would reject is
// caught even where the engine's own view of the text looks right.

#include <gtest/gtest.h>

#include <string>

namespace tamsel::test {

// Success when xmllint parses the file at `path` without an error; otherwise the parser's
// complaint (or that xmllint could not be run: scripts/install-deps installs it).
testing::AssertionResult IsWellFormedXml(const std::string& path);

// Whether xmllint can be run here.
bool HasXmlLint();

}  // namespace tamsel::test
