// Stands in for the import run until the run driver defines OnQuervane;
// delete this file then.
#include "app/QuervaneDlg.h"

void CQuervaneDlg::OnQuervane() {
    Afficher("");
}
