// A store of Nombre equal-sized byte blocks ("elements") in one table, used
// either as a first-in first-out ring (Envoie, Recoit, Contenu, Vide) or by
// position (Lire, Ecrire). The ring leaves one element free, so it holds at
// most Nombre - 1 elements.
//
// Every operation but the constructor, the destructor and Test returns a
// status: -1 while the store is closed; -2 for a position out of range;
// otherwise as each comment says. Element copies are raw copies of exactly
// Taille bytes.
#pragma once

#include <cstdint>
#include <memory>

class CQueue {
public:
    CQueue() = default;
    ~CQueue();
    CQueue(const CQueue&) = delete;
    CQueue& operator=(const CQueue&) = delete;

    // 0 when already open (nothing changes); -1 when the table cannot be
    // allocated (also for n or t below 1); 1 when opened. Element contents
    // are not initialised.
    int Ouvrir(int n, int t);
    // 0 when closed; otherwise releases the table, empties the ring, 1.
    int Fermer();
    bool Test() const { return Table != nullptr; }

    // 1 when added; 0 when the ring is full (the element is not added).
    int Envoie(const void* Element);
    // 1 when an element was taken out; 0 when the ring is empty.
    int Recoit(void* Element);
    // Number of elements in the ring.
    int Contenu() const;
    // Empties the ring: 0 if it was empty, 1 if not.
    int Vide();

    // 1 when done; -2 when Position is not in 0 .. Nombre - 1 (nothing copied).
    int Lire(int Position, void* Element) const;
    int Ecrire(int Position, const void* Element);

    int GetNombre() const { return Nombre; }
    int GetTaille() const { return Taille; }
    int GetQueue() const { return Queue; }
    int GetTete() const { return Tete; }

private:
    unsigned char* Element(int Position) const;

    std::int32_t Nombre = 0;
    std::int32_t Taille = 0;
    std::unique_ptr<unsigned char[]> Table;
    std::int32_t Queue = 0;  // the element that the next Envoie fills
    std::int32_t Tete = 0;   // the element that the next Recoit takes
};
