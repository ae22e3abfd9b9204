#pragma once

#include <optional>

#include <QString>

// Paths as the program writes them ("Symbol\", "D\LAGER.MX1") and data files
// copied from Windows, whose names come in any mix of upper and lower case.
namespace files {

// Turns a path written with "\" (or a mix of "\" and "/") into a native path:
// every "\" becomes "/", runs of separators shrink to one. A trailing
// separator is kept, so "Symbol\" stays recognisable as a directory and can
// still be joined by plain concatenation. Nothing else changes: no case
// lookup, no resolution of "." or "..".
QString nativePath(const QString& windowsPath);

// The existing file or directory whose path components equal those of `path`
// when case is ignored (Unicode case folding, so "ÄTZEND" finds "ätzend").
// `path` may be relative (to the current directory) or absolute and may be
// written with "\"; the result keeps that form and uses "/".
//
// An exact match wins. Otherwise the candidates of each component are tried
// in binary order of their names ("SYMBOL" before "Symbol" before "symbol"),
// and the first that leads to an existing path is taken; a component that is
// followed by more components must be a directory. A trailing separator asks
// for a directory. Nothing is cached: the directories are read on every call
// that misses the exact spelling.
std::optional<QString> find(const QString& path);

// The path to create or overwrite for `path`: the existing case variant of
// the file when there is one (as find() chooses it), otherwise `path` with
// its existing leading directories in their stored spelling and the rest as
// given. Written with "/".
QString resolveForWrite(const QString& path);

// The directory of the running program file as a native path ending with
// "/", so that the program's own file names join by concatenation:
// programDirectory() + "Hilfe\hinweis1.htm", then find() or nativePath().
QString programDirectory();

} // namespace files
