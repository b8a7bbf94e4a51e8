#pragma once
// Files and registry values the Wine test prepares for itself.

#include <string>
#include <windows.h>

namespace winetest {

std::string Quoted(const std::string& text);

// The folder of the running test program.
std::string OwnFolder();
bool Exists(const std::string& path);
// Deletes a file, or a folder with everything in it, whatever their attributes.
void RemoveTree(const std::string& path);
// Waits up to `milliseconds` for a file to appear.
bool Appears(const std::string& path, int milliseconds);
std::string ReadText(const std::string& path);

// Registry setup under HKEY_LOCAL_MACHINE, through the write calls the program itself
// never makes.
bool SetValue(const std::string& key, const std::string& name, DWORD type,
              const std::string& bytes);
void DeleteValue(const std::string& key, const std::string& name);
// The four bytes of a REG_DWORD, as stored.
std::string Dword(DWORD value);

} // namespace winetest
