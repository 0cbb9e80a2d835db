#include "import/Recodage.h"

namespace {

char CaractereSuivant(char c) {
    return c == ' ' ? '0' : static_cast<char>(c + 1);
}

}  // namespace

void AvancerSuffixeVoiture(std::string& code) {
    if (code.empty()) return;
    char& last = code.back();
    if (last == '9')
        last = 'A';
    else if (last == 'Z')
        last = 'a';
    else
        last = CaractereSuivant(last);
}

void AvancerSuffixeRoutage(std::string& code) {
    if (code.size() < 2) return;
    char& last = code[code.size() - 1];
    char& before = code[code.size() - 2];
    if (last == '9') {
        last = 'A';
    } else if (last == 'Z') {
        last = '0';
        before = before == '9' ? 'A' : CaractereSuivant(before);
    } else {
        last = CaractereSuivant(last);
    }
}
