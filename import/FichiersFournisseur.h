// Names of the files of a supplier set. The kind of set (bSelectionJournal)
// decides: 0 ".CYB", 1 ".SIT", 2 ".TXT" names in the source folder, 3 the
// name template of the set with "{n}" numbered.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct RunContext;

// The files of a set, numbered as the name template numbers them.
enum class FichierFournisseur { Titre = 1, Edition, Voiture, Routage, Journal, Sac };

// The name under which the run reads that file. The subscriber file of a
// ".SIT" set is the chosen file, unless the set was unpacked from an archive.
std::string NomFichierFournisseur(const RunContext& run, FichierFournisseur fichier);

// The six files of the set as they are deleted after a conversion of a set
// unpacked from an archive.
std::vector<std::string> FichiersDuJeu(const RunContext& run);

// The template with every "{n}" replaced by numero.
std::string NumeroterModele(std::string_view modele, int numero);
