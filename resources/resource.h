// Resource ids of the application: dialog templates, icons, strings,
// commands and controls.
#pragma once

// Dialog templates.
constexpr unsigned IDD_ABOUTBOX = 100;
constexpr unsigned IDD_QUERVANE_DIALOG = 102;
constexpr unsigned IDD_SAISIE_EXEMPLAIRES = 129;
constexpr unsigned IDD_ERREURS_SAC = 130;
constexpr unsigned IDD_LECTEUR = 133;
constexpr unsigned IDD_LOADFILE = 220;

// Icons.
constexpr unsigned IDR_MAINFRAME = 128;
constexpr unsigned IDI_FICHIER = 168;

// Strings (the string table of resources/strings.cpp).
constexpr unsigned IDS_ABOUTBOX = 101;
constexpr unsigned IDS_ERREUR_CONFIGURATION = 102;
constexpr unsigned IDS_ERREUR_DESCRIPTIF = 103;
constexpr unsigned IDS_FILTRE_JO = 104;
constexpr unsigned IDS_ERREUR_TITRE = 105;
constexpr unsigned IDS_FILTRE_ZIP = 111;
constexpr unsigned IDS_FILTRE_SIT = 112;
constexpr unsigned IDS_NOM = 161;
constexpr unsigned IDS_TAILLE = 162;
constexpr unsigned IDS_DATE = 163;
constexpr unsigned IDS_ABSENCE_FICHIER = 164;
constexpr unsigned IDS_SELECTION_TITRE = 165;
constexpr unsigned IDS_LECTEUR_INCONNU = 63204;
constexpr unsigned IDS_PAS_DE_CHEMIN = 63211;
constexpr unsigned IDS_ERREUR_STRUCTURE_JOURNAL = 63218;
constexpr unsigned IDS_ERREUR_STRUCTURE_SAC = 63219;
constexpr unsigned IDS_DESCRIPTIF_MANQUANT = 63220;
constexpr unsigned IDS_DONNEES_OCCUPEES = 63221;
constexpr unsigned IDS_QUESTION_INTERRUPTION = 63230;
constexpr unsigned IDS_IMPORTATION_INTERROMPUE = 63231;
constexpr unsigned IDS_ECHEC_IMPORTATION = 63232;

// Commands.
constexpr unsigned IDM_ABOUTBOX = 0x0010;

// Controls of the main window.
constexpr int IDC_QUERVANE = 1000;
constexpr int IDC_STATUS = 1002;
constexpr int IDC_PROGRESS = 1003;

// Controls of the copies-count and missing-bags dialogs.
constexpr int IDC_NOMBRE_EXEMPLAIRES = 1001;
constexpr int IDC_LISTE_ERREURS = 1004;

// Controls of the drive chooser.
constexpr int IDC_LECTEURS = 1013;
constexpr int IDC_RAFRAICHIR = 1018;

// Controls of the file picker.
constexpr int IDC_FICHIERS = 1105;
constexpr int IDC_CHEMIN = 1018;
constexpr int IDC_ICONE_FICHIER = 1107;
constexpr int IDC_NOM_FICHIER = 1104;
constexpr int IDC_AUTO_MODIF = 1358;
