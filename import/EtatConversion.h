// The types that the main window holds for the supplier conversion.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
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

// The entries of "SACS.LIS": a bag code, then the route index in five
// digits. The entries of a route share its index: the digits are written
// once per route.
class EntreesSacsLis {
public:
    // The entry of bag sac in route indice, "%05ld" of the index, valid
    // until the next call.
    std::string_view Entree(std::string_view sac, long indice);

private:
    std::string entree_;
    long indice_ = -1;
    char numero_[5] = {};
};
