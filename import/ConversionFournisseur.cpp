#include "app/QuervaneDlg.h"
#include "import/RunContext.h"

void CQuervaneDlg::ConversionFournisseur(RunContext& run) {
    (void)run;
}
