#!/usr/bin/env python3
"""Writes a scenario folder holding a consistent prepared base for the
prepared-base benchmark.

    generate_prepared_base.py ROOT [--subscribers N]

ROOT receives work/, config/ (Trelvamont.ini, CHEMIN.ABO, MODES 1 1, INFOSAC,
CHAMP.SAC), data/ (DESCRIPT.LIS and the base descriptor BASEBN.ini),
import/BN.jo .li .sa .ro .re .ed .ti and script.json, which picks
..\\import\\BN.jo in the open-file dialog.

The base: 4 editions, 10 networks per edition, routes of 40 bags, bags of 4
bundles, bundles of 5 subscribers (so one bag per 20 subscribers), 300 user
bag codes; subscriber records of 400 characters. Every level file lists one
record per run of its key in the subscriber file, so the base control
passes; every bag has its record, so the rebuild lists no missing bag.
"""
import argparse
import os

# Field widths by slot, the bag key (fields 0 to 4) common to slots 0 and 2.
JO = [2, 2, 6, 10, 6, 10, 8, 1, 1, 5, 2, 1, 1, 1, 1, 1, 1, 1, 1, 4, 6, 10, 4, 6, 6,
      1, 1, 1, 1, 2, 2, 32, 40, 32, 40, 40, 40, 40, 28]
LI = [2, 2, 6, 10, 6, 10, 1, 8]
SA = [2, 2, 6, 10, 6, 10, 4, 32, 5, 4]
RO = [2, 2, 6, 10, 32, 8]
RE = [2, 2, 6, 32, 8]
ED = [2, 2, 32, 4, 4, 8, 8, 8]
TI = [2, 32, 2, 4, 6, 6, 8]
SECTIONS = [(0, 'TI', TI), (1, 'ED', ED), (2, 'RE', RE), (3, 'RO', RO), (4, 'SA', SA),
            (5, 'LI', LI), (6, 'JO', JO)]

SUBS_PER_BUNDLE = 5
BUNDLES_PER_BAG = 4
BAGS_PER_ROUTE = 40
ROUTES_PER_NETWORK = 25
NETWORKS_PER_EDITION = 10
USER_CODES = 300

STREETS = ['rue des Écoles', 'place Chavanelle', 'rue du Crêt-de-Roc', 'allée des Tilleuls',
           'cours Fauriel', 'impasse Bellevue', 'quai de Mâtel', 'avenue de la Gare']
NAMES = ['Mme Anaïs Lefèvre', 'M. Jérôme Dupré', 'Mme Françoise Bœuf', 'M. Noël Bérard',
         'Mlle Hélène Gaël', 'M. et Mme Côté', 'Mme Agnès Caër', 'M. Raphaël Chêne']
TOWNS = ['42000 Saint-Étienne', '42700 Firminy', '42300 Roanne', '42100 Saint-Étienne']


def descriptor():
    lines = []
    for digit, ext, widths in SECTIONS:
        lines += ['[%d] fichier %s' % (digit, ext), 'Extension:%s' % ext,
                  'Description:base de distribution', 'NbChamps:%d' % len(widths), 'Cle:1',
                  'Options:0']
        lines += ['C%02d:A:%d:%d' % (k, k, w) for k, w in enumerate(widths)]
        lines.append('')
    return '\r\n'.join(lines) + '\r\n'


def record(widths, values):
    return ''.join(str(values.get(k, '')).ljust(w)[:w] for k, w in enumerate(widths))


def write_text(path, text):
    with open(path, 'wb') as f:
        f.write(text.encode('cp1252'))


def generate(root, subscribers):
    for folder in ('work', 'config', 'data', 'import'):
        os.makedirs(os.path.join(root, folder), exist_ok=True)
    write_text(os.path.join(root, 'config', 'Trelvamont.ini'), '[Chemins]\r\nDATA=..\\data\\\r\n')
    write_text(os.path.join(root, 'config', 'CHEMIN.ABO'), '..\\import\\\r\n')
    write_text(os.path.join(root, 'config', 'MODES'), '1 1\r\n')
    write_text(os.path.join(root, 'config', 'INFOSAC'), '10\r\n')
    write_text(os.path.join(root, 'config', 'CHAMP.SAC'), '6\r\n')
    write_text(os.path.join(root, 'data', 'DESCRIPT.LIS'), 'ZZ BASEZZ\r\nBN BASEBN\r\n')
    write_text(os.path.join(root, 'data', 'BASEBN.ini'), descriptor())
    with open(os.path.join(root, 'script.json'), 'w') as f:
        f.write('{"now": "2026-12-07T09:30:00", "answers": [{"open-file": "..\\\\import\\\\BN.jo"}]}\n')

    prefix = os.path.join(root, 'import', 'BN.')
    files = {ext: open(prefix + ext, 'w', encoding='cp1252', newline='\r\n')
             for ext in ('jo', 'li', 'sa', 'ro', 're', 'ed', 'ti')}
    subs_per_bag = SUBS_PER_BUNDLE * BUNDLES_PER_BAG
    bags = (subscribers + subs_per_bag - 1) // subs_per_bag
    routes = (bags + BAGS_PER_ROUTE - 1) // BAGS_PER_ROUTE
    networks = (routes + ROUTES_PER_NETWORK - 1) // ROUTES_PER_NETWORK
    editions = (networks + NETWORKS_PER_EDITION - 1) // NETWORKS_PER_EDITION

    def codes(bag):
        route = bag // BAGS_PER_ROUTE
        network = route // ROUTES_PER_NETWORK
        edition = network // NETWORKS_PER_EDITION
        return ('E%d' % (edition + 1), 'V%05d' % network, 'R%09d' % route, '%06d' % bag)

    n = 0
    bundle = 0
    for bag in range(bags):
        e, v, r, b = codes(bag)
        key = 'BN' + e + v + r + b
        in_bag = min(subs_per_bag, subscribers - n)
        bundles_of_bag = (in_bag + SUBS_PER_BUNDLE - 1) // SUBS_PER_BUNDLE
        jo_lines = []
        for i in range(bundles_of_bag):
            bundle += 1
            size = min(SUBS_PER_BUNDLE, in_bag - i * SUBS_PER_BUNDLE)
            for j in range(size):
                n += 1
                end_bundle = '1' if j == size - 1 else '0'
                end_bag = '1' if (i == bundles_of_bag - 1 and j == size - 1) else '0'
                jo_lines.append(record(JO, {
                    0: 'BN', 1: e, 2: v, 3: r, 4: b, 5: '%010d' % bundle, 6: '%08d' % n,
                    7: end_bundle, 8: end_bag, 10: 'A ', 19: '0001', 20: b, 21: '%010d' % n,
                    23: '071226', 31: NAMES[n % 8], 32: '%d %s' % (n % 97 + 1, STREETS[n % 8]),
                    33: TOWNS[n % 4], 34: 'Bâtiment %d' % (n % 5), 35: 'Escalier %d' % (n % 3),
                    36: 'Porte %d' % (n % 9), 37: 'Code %04d' % (n % 9973), 38: 'Réf %d' % n}))
            files['li'].write(record(LI, {0: 'BN', 1: e, 2: v, 3: r, 4: b, 5: '%010d' % bundle,
                                          6: '1', 7: '%08d' % size}) + '\n')
        files['jo'].write('\n'.join(jo_lines) + '\n')
        files['sa'].write(record(SA, {0: 'BN', 1: e, 2: v, 3: r, 4: b,
                                      5: 'U%09d' % (bag % USER_CODES), 6: '0001',
                                      7: 'Sac %s' % b, 8: '00012', 9: '0034'}) + '\n')
        if bag % BAGS_PER_ROUTE == 0:
            files['ro'].write(record(RO, {0: 'BN', 1: e, 2: v, 3: r, 4: 'Tournée %s' % r,
                                          5: '%08d' % BAGS_PER_ROUTE}) + '\n')
        if bag % (BAGS_PER_ROUTE * ROUTES_PER_NETWORK) == 0:
            files['re'].write(record(RE, {0: 'BN', 1: e, 2: v, 3: 'Réseau %s' % v,
                                          4: '%08d' % ROUTES_PER_NETWORK}) + '\n')
        if bag % (BAGS_PER_ROUTE * ROUTES_PER_NETWORK * NETWORKS_PER_EDITION) == 0:
            files['ed'].write(record(ED, {0: 'BN', 1: e, 2: 'Édition %s' % e}) + '\n')
    files['ti'].write(record(TI, {0: 'BN', 1: "LE COURRIER DE L'ESTUAIRE", 3: '0712',
                                  6: '%08d' % editions}) + '\n')
    for f in files.values():
        f.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('root')
    parser.add_argument('--subscribers', type=int, default=1000000)
    args = parser.parse_args()
    generate(args.root, args.subscribers)


if __name__ == '__main__':
    main()
