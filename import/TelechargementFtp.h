// Fetching the picked set from an FTP folder into the staging folder.
#pragma once

#include <string>
#include <string_view>

#include "platform/inet/inet.h"

// The remote folder of the picker's folder address: the text from the
// first "/" after the host on ("ftp://u:p@host/in/" -> "/in/"); "/" when it
// has none.
std::string DossierDistant(std::string_view adresse);

// Downloads the set into dossierLocal (ending with a backslash). With a
// name template (holding "{id}"), "{id}" becomes nomChoisi and the files
// numbered 1 to 9 are fetched until the first that does not arrive; else the
// single file nomChoisi is fetched, whether it arrives or not. CheminFichier
// follows the local name of each file tried. A name that would leave
// dossierLocal is not fetched (it counts as not arrived). Throws
// CInternetException for what the server or the connection fail at.
void TelechargerJeu(CFtpConnection& connexion, std::string_view dossierDistant,
                    std::string_view sExtension, std::string_view nomChoisi,
                    std::string_view dossierLocal, std::string& CheminFichier);
