// "..\TEMP\", where archives are unpacked and downloads land: a run starts
// it afresh, so that no file of an earlier set can pass for part of this
// one.
#pragma once

#include <string_view>

// Deletes the files and folders that "..\TEMP\" holds, except the file
// garder (the archive about to be unpacked may lie there).
void ViderDossierTemp(std::string_view garder = {});
