// Which files the file picker lists, and under which name, for its filter:
//   "*"                  every file, by its name;
//   "ZIP"                a plain extension: "*.ZIP", by name;
//   "J*.SIT"             a plain name pattern (it holds "."): by name without
//                        the pattern's text from its first "." on ("J0001")
//                        over FTP, by name up to its first "." in a local
//                        folder ("J0001.A.SIT" shows as "J0001.A" and "J0001");
//   "J{id}_{n}.TXT"      a name template: the first file of each set
//                        ("J*_1.TXT"), shown as its identifier ("0412"),
//                        which the caller puts back for "{id}".
#pragma once

#include <string>
#include <string_view>

class FiltreFichiers {
public:
    explicit FiltreFichiers(std::string_view sExtension);

    // A filter holding "." names files by pattern or template.
    bool EstModele() const { return modele_; }
    // The listing pattern, to follow a folder.
    const std::string& Motif() const { return motif_; }
    // The name a matching file of an FTP folder is shown and picked under.
    std::string NomAffiche(std::string_view nom) const;
    // The same for a file of a local folder.
    std::string NomAfficheLocal(std::string_view nom) const;

private:
    bool modele_ = false;
    bool identifiant_ = false;  // the template holds "{id}"
    std::string motif_;
    // Fixed text of the pattern before and after the identifier; they may
    // hold wildcards of their own.
    std::string avant_;
    std::string apres_;
};

// text with every occurrence of motif replaced by valeur.
std::string RemplacerTout(std::string texte, std::string_view motif, std::string_view valeur);
