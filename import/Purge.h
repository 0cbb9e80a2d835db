// Purge of old bases in the data directory.
#pragma once

// Days from the file's date to today, counted month by month as the
// retention period is defined: while the file's month is before today's
// month of the same year, or the file's year is before today's year, add the
// days left in the file's month (its length plus 1 minus the file's day) and
// move to the first of the next month; then add today's day minus the
// file's day. February has 29 days in every year divisible by 4. Negative for
// a later day of the same month or of a later month of the same year.
int CompteJours(int AnFichier, int MoisFichier, int JourFichier, int Annee, int Mois, int Jour);

// Number of days of a month (1..12) as CompteJours counts them.
int JoursDuMois(int Mois, int Annee);
