#!/usr/bin/env python3
"""Writes a realistic supplier set for the conversion benchmark.

    conversion_generate.py ROOT [--subscribers N] [--shuffle] [--seed S]

ROOT becomes a scenario folder (config/, data/, import/, work/, script.json)
for quervane-scenario: one title, 3 editions, about 100 vehicles (a few
serving two editions), 3,000 routes, a bag every 25 subscribers, a bundle
every 8, records of about 400 characters with accented names. With
--shuffle the subscriber records are shuffled within the title and the
layout asks for the pre-sort (PreTri 1); otherwise they come in delivery
order and the layout has PreTri 0.
"""
import argparse
import os
import random

EDITIONS = ['E1', 'E2', 'E3']
ROUTES = 3000
VEHICLES = 100
LINE_WIDTH = 38
LINES = 9

# Converted record: codes, flags, then nine text lines of 38 characters.
LAYOUT = [
    ('PreTri', None), ('SacUtilisateur', 1), ('LongueurEnregistrement', 401),
    ('Titre', (0, 2)), ('Edition', (2, 2)), ('Voiture', (4, 8)), ('Routage', (12, 8)),
    ('NumeroSac', (20, 6)), ('FinLiasse', (26, 1)), ('FinSac', (27, 1)),
    ('ChaineProduction', (28, 1)), ('Etat', (29, 2)), ('Margeurs', (31, 4)),
    ('Date', (35, 6)), ('Abonne', (41, 10)), ('Reserve', (51, 4)),
]
SPECIALS = [(55, 4)] + [(0, 0)] * 6
TEXT_LINES = [(59 + LINE_WIDTH * i, LINE_WIDTH) for i in range(LINES)] + [(0, 0)] * (16 - LINES)

FIRST_NAMES = ['Hélène', 'François', 'Zoé', 'Loïc', 'Raphaël', 'Agnès', 'Jérôme', 'Céline',
               'Benoît', 'Anaïs', 'Noël', 'Gaëlle', 'Claire', 'Marc', 'Irène', 'Paul']
LAST_NAMES = ['Müller', 'Martin', 'Petit', 'Pelletier', 'Gauthier', 'Durand', 'Leroy', 'Faure',
              'Roux', 'Perrin', 'Bourgeois', 'Cuenot', 'Faivre', 'Thiriet', 'Jacquot', 'Guyon']
STREETS = ['rue de l\'Église', 'chemin des Prés', 'allée des Châtaigniers', 'rue du Château-d\'Eau',
           'avenue de la Gare', 'place du Marché', 'impasse des Lilas', 'route de Besançon']
TOWNS = ['Pontarlier', 'Morteau', 'Baume-les-Dames', 'Besançon', 'Ornans', 'Champagnole']


def pad(text, width):
    return (text + ' ' * width)[:width]


def journal_def(pretri):
    out = []
    for name, value in LAYOUT:
        if name == 'PreTri':
            out.append('PreTri:D %d' % pretri)
        elif isinstance(value, int):
            out.append('%s:D %d' % (name, value))
        else:
            out += ['%s.Position:D %d' % (name, value[0]), '%s.Longueur:D %d' % (name, value[1])]
        if name == 'LongueurEnregistrement':
            out.append('LibelleTitre:A20 BASEBENCH\\0')
    for i, (p, l) in enumerate(SPECIALS):
        out += ['ChampSpecial%d.Position:D %d' % (i, p), 'ChampSpecial%d.Longueur:D %d' % (i, l)]
    for i, (p, l) in enumerate(TEXT_LINES):
        out += ['Lignes%d.Position:D %d' % (i, p), 'Lignes%d.Longueur:D %d' % (i, l)]
    return '\r\n'.join(out) + '\r\n'


def sac_def():
    fields = [('NumeroSac', 0, 6), ('CodeVoiture', 6, 6), ('Champ0', 12, 20), ('Champ1', 32, 5)]
    fields += [('Champ%d' % i, 0, 0) for i in range(2, 10)]
    out = []
    for name, p, l in fields:
        out += ['%s.Position:D %d' % (name, p), '%s.Longueur:D %d' % (name, l)]
    return '\r\n'.join(out) + '\r\n'


def base_descriptor():
    journal = [2, 2, 8, 8, 6, 10, 8, 1, 1, 5, 2] + [1] * 8 + [4, 6, 10, 4, 6] + [1] * 5 + [2, 2]
    journal += [LINE_WIDTH] * LINES
    sections = [(0, 'TI', [2, 32, 2, 4, 6, 6, 8]), (1, 'ED', [2, 2, 32, 4, 4, 8, 8, 8]),
                (2, 'RE', [2, 2, 8, 32, 8]), (3, 'RO', [2, 2, 8, 8, 32, 8]),
                (4, 'SA', [2, 2, 8, 8, 6, 10, 4, 20, 5]), (5, 'LI', [2, 2, 8, 8, 6, 10, 1, 8]),
                (6, 'JO', journal)]
    out = []
    for digit, ext, widths in sections:
        out += ['[%d] fichier %s' % (digit, ext), 'Extension:%s' % ext, 'Description:banc d\'essai',
                'NbChamps:%d' % len(widths), 'Cle:1', 'Options:0']
        out += ['C%02d:A:%d:%d' % (i, i, w) for i, w in enumerate(widths)]
        out.append('')
    return '\r\n'.join(out)


def plan(subscribers, rng):
    """Routes in delivery order: (edition, vehicle, route, subscriber count)."""
    vehicles = ['V%05d' % (10000 + i) for i in range(VEHICLES)]
    # Each edition has its own vehicles; every tenth vehicle also serves the next edition.
    by_edition = {e: [] for e in EDITIONS}
    for i, v in enumerate(vehicles):
        by_edition[EDITIONS[i % 3]].append(v)
        if i % 10 == 0:
            by_edition[EDITIONS[(i + 1) % 3]].append(v)
    slots = []
    route = 0
    per_edition = ROUTES // len(EDITIONS)
    for e in EDITIONS:
        vs = by_edition[e]
        for k in range(per_edition):
            slots.append((e, vs[k * len(vs) // per_edition], 'R%05d' % (10000 + route)))
            route += 1
    base, extra = divmod(subscribers, len(slots))
    return [(e, v, r, base + (1 if i < extra else 0)) for i, (e, v, r) in enumerate(slots)]


def write_set(root, subscribers, shuffle, seed):
    rng = random.Random(seed)
    for d in ('config', 'data', 'import', 'work'):
        os.makedirs(os.path.join(root, d), exist_ok=True)

    def put(path, text, encoding='cp1252'):
        with open(os.path.join(root, path), 'wb') as f:
            f.write(text.encode(encoding) if isinstance(text, str) else text)

    put('config/Trelvamont.ini', '[Chemins]\r\nDATA=..\\data\\\r\n')
    put('config/CHEMIN.ABO', '..\\import\\\r\n')
    put('config/JOURNAL.DEF', journal_def(1 if shuffle else 0))
    put('config/SAC.DEF', sac_def())
    put('config/SACS.DEF', '4 0\r\n6\r\n6\r\n20\r\n5\r\n')
    put('data/BASEBENCH.ini', base_descriptor())
    put('data/DESCRIPT.LIS', 'ZZ BASEZZ\r\n')
    put('script.json', '{"now": "2026-12-07T09:30:00", "answers": [{"open-file": "..\\\\import\\\\JOURNAL.CYB"}]}\n', 'utf-8')

    routes = plan(subscribers, rng)
    put('import/TITRE.CYB', 'BC' + pad('Le Courrier du Banc d\'Essai', 32) + '\r\n')
    put('import/EDITION.CYB', ''.join(e + pad('Édition %s' % e, 32) + '\r\n' for e in EDITIONS))
    vehicles = sorted({v for _, v, _, _ in routes})
    put('import/VOITURE.CYB', ''.join(v + pad('Tournée %s' % v, 32) + '\r\n' for v in vehicles))
    put('import/ROUTAGE.CYB', ''.join(r + pad('Routage %s' % r, 32) + '\r\n' for _, _, r, _ in routes))

    records = []
    bags = []
    bag = 0
    number = 0
    for edition, vehicle, route, count in routes:
        for i in range(count):
            if i % 25 == 0:
                bag += 1
                bags.append('%06d%s%s%05d' % (bag, vehicle, pad('Sac %s/%d' % (route, i // 25 + 1), 20),
                                               min(25, count - i)))
            end_bag = i % 25 == 24 or i == count - 1
            end_bundle = end_bag or i % 8 == 7
            number += 1
            name = '%s %s %s' % (rng.choice(['M.', 'Mme', 'M. et Mme']), rng.choice(FIRST_NAMES),
                                 rng.choice(LAST_NAMES))
            street = '%d %s' % (rng.randint(1, 140), rng.choice(STREETS))
            town = '25%03d %s' % (rng.randint(0, 999), rng.choice(TOWNS))
            text = [name, street, town, 'Abonnement n° %08d' % number, 'Portage avant 7 h',
                    '', 'Code porte %04d' % rng.randint(0, 9999), '', 'Fin']
            records.append(''.join([
                'BC', edition, vehicle, route, '%06d' % bag,
                '1' if end_bundle else ' ', '1' if end_bag else ' ', ' ', '  ', '1 0 ', '071226',
                '%010d' % number, '    ', '0000'] + [pad(t, LINE_WIDTH) for t in text]))
    if shuffle:
        rng.shuffle(records)
    with open(os.path.join(root, 'import/JOURNAL.CYB'), 'wb', buffering=1 << 22) as f:
        for r in records:
            f.write(r.encode('cp1252') + b'\r\n')
    put('import/SAC.CYB', ''.join(b + '\r\n' for b in bags))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('root')
    parser.add_argument('--subscribers', type=int, default=1000000)
    parser.add_argument('--shuffle', action='store_true')
    parser.add_argument('--seed', type=int, default=20261207)
    args = parser.parse_args()
    write_set(args.root, args.subscribers, args.shuffle, args.seed)


if __name__ == '__main__':
    main()
