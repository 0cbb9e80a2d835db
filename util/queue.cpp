#include "util/queue.h"

#include <cstring>
#include <limits>
#include <new>

CQueue::~CQueue() {
    Fermer();
}

int CQueue::Ouvrir(int n, int t) {
    if (Test()) return 0;
    if (n < 1 || t < 1 || n > std::numeric_limits<int>::max() / t) return -1;
    try {
        Table = std::make_unique_for_overwrite<unsigned char[]>(static_cast<std::size_t>(n) * t);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    Nombre = n;
    Taille = t;
    return 1;
}

int CQueue::Fermer() {
    if (!Test()) return 0;
    Table.reset();
    Tete = 0;
    Queue = 0;
    return 1;
}

unsigned char* CQueue::Element(int Position) const {
    return Table.get() + static_cast<std::size_t>(Position) * Taille;
}

int CQueue::Envoie(const void* Element) {
    if (!Test()) return -1;
    std::memcpy(this->Element(Queue), Element, Taille);
    const int suivant = Queue + 1 == Nombre ? 0 : Queue + 1;
    if (suivant == Tete) return 0;
    Queue = suivant;
    return 1;
}

int CQueue::Recoit(void* Element) {
    if (!Test()) return -1;
    if (Tete == Queue) return 0;
    std::memcpy(Element, this->Element(Tete), Taille);
    Tete = Tete + 1 == Nombre ? 0 : Tete + 1;
    return 1;
}

int CQueue::Contenu() const {
    if (!Test()) return -1;
    const int n = Queue - Tete;
    return n < 0 ? n + Nombre : n;
}

int CQueue::Vide() {
    if (!Test()) return -1;
    const int etait_vide = Tete == Queue ? 0 : 1;
    Tete = 0;
    Queue = 0;
    return etait_vide;
}

int CQueue::Lire(int Position, void* Element) const {
    if (!Test()) return -1;
    if (Position < 0 || Position >= Nombre) return -2;
    std::memcpy(Element, this->Element(Position), Taille);
    return 1;
}

int CQueue::Ecrire(int Position, const void* Element) {
    if (!Test()) return -1;
    if (Position < 0 || Position >= Nombre) return -2;
    std::memcpy(this->Element(Position), Element, Taille);
    return 1;
}
