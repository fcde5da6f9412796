#pragma once
// Test helper: a certificate authority of the test's own, made with the
// openssl command in a folder, issuing server certificates (EC P-256 keys).
// Every failing openssl run throws std::runtime_error with its output.

#include <QString>
#include <QStringList>

class TestAuthority {
public:
    struct Certificate {
        QString certificate;  // PEM files
        QString key;
    };

    // Makes the authority's key and self-signed certificate in folder.
    explicit TestAuthority(QString folder);

    // The authority's certificate, to be trusted by the program.
    QString CaFile() const { return m_folder + "/ca.pem"; }
    // A server certificate named name, for altNames ("IP:127.0.0.1,DNS:localhost"),
    // valid for validity: openssl ca's {"-days", "30"} or
    // {"-startdate", "20200101000000Z", "-enddate", "20200102000000Z"}.
    Certificate Issue(const QString& name, const QString& altNames, const QStringList& validity) const;

private:
    const QString m_folder;
};
