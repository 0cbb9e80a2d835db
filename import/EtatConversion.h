// The types that the main window holds for the supplier conversion.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "import/FichiersFournisseur.h"
#include "import/ListeCodes.h"
#include "import/PreparationEnregistrement.h"
#include "import/TableSacsFournisseur.h"
#include "platform/fs/fs.h"
#include "records/Emetteurs.h"
#include "records/RunTables.h"

// The last subscriber record written: a bundle still open at a title change
// or at the end of the file is closed with its codes.
struct DernierAbonne {
    std::string Titre, Edition, Voiture, Routage, Sac;
    int IndiceEdition = 0;
};
