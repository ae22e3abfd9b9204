#pragma once

#include "fixtures/Files.h"

// Settings files are Windows-1252 bytes; tests spell them out as such.
using fixtures::readBytes;
using fixtures::writeBytes;
