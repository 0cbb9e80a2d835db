#include "platform/inet/inet_errors.h"

#include <algorithm>
#include <cstring>

#include "platform/codepage.h"

namespace plat::ftp {
namespace {

// What the operation was doing, for the texts of failures that can happen
// at any step: "pendant le transfert de /in/X.ZIP".
std::string During(Operation operation, const ErrorContext& c) {
    switch (operation) {
        case Operation::Download:
            return " pendant le transfert de " + std::string(c.remote);
        case Operation::List:
            return " pendant la lecture du dossier " + std::string(c.remote);
        case Operation::Connect:
            break;
    }
    return "";
}

// Written in UTF-8 here, served as 1252.
std::string Utf8Text(InternetError error, Operation operation, const ErrorContext& c) {
    const std::string host(c.host);
    const std::string remote(c.remote);
    switch (error) {
        case InternetError::BadAddress:
            return "Adresse du serveur FTP incorrecte.";
        case InternetError::HostNotFound:
            return "Serveur FTP introuvable : " + host + ".";
        case InternetError::ConnectionRefused:
            return "Connexion refusée par le serveur FTP " + host + ".";
        case InternetError::LoginRefused:
            return "Identification refusée par le serveur FTP " + host +
                   " : utilisateur ou mot de passe incorrect.";
        case InternetError::FolderMissing:
            return "Dossier absent sur le serveur FTP " + host + " : " + remote;
        case InternetError::FileMissing:
            return "Fichier absent sur le serveur FTP " + host + " : " + remote;
        case InternetError::Timeout:
            if (operation == Operation::Connect)
                return "Délai dépassé : le serveur FTP " + host + " ne répond pas.";
            return "Délai dépassé : le serveur FTP " + host + " ne répond plus" +
                   During(operation, c) + ".";
        case InternetError::ConnectionLost:
            return "Connexion interrompue par le serveur FTP " + host + During(operation, c) + ".";
        case InternetError::DataConnectionFailed:
            return "Échec de la connexion de données avec le serveur FTP " + host +
                   During(operation, c) + ".";
        case InternetError::LocalFileFailed:
            return "Impossible d'écrire le fichier " + std::string(c.local) + During(operation, c) +
                   ".";
        case InternetError::ServerError:
            break;
    }
    const char* action = operation == Operation::Connect    ? "de la connexion au"
                         : operation == Operation::Download ? "du transfert depuis le"
                                                            : "de la lecture d'un dossier du";
    std::string text = std::string("Erreur lors ") + action + " serveur FTP " + host;
    if (!remote.empty()) text += " (" + remote + ")";
    if (c.detail != 0) text += ", code " + std::to_string(c.detail);
    return text + ".";
}

}  // namespace

std::string ErrorText(InternetError error, Operation operation, const ErrorContext& context) {
    // Host and paths are 1252 already; only the fixed words need converting,
    // so the text is assembled in UTF-8 from UTF-8 copies of them.
    const std::string host = Utf8FromCp1252(context.host);
    const std::string remote = Utf8FromCp1252(context.remote);
    const std::string local = Utf8FromCp1252(context.local);
    const ErrorContext utf8{host, remote, local, context.detail};
    return Cp1252FromUtf8(Utf8Text(error, operation, utf8));
}

}  // namespace plat::ftp

bool CInternetException::GetErrorMessage(char* buffer, std::size_t size) const {
    if (size == 0) return false;
    const std::size_t length = std::min(size - 1, message_.size());
    std::memcpy(buffer, message_.data(), length);
    buffer[length] = '\0';
    return true;
}
