#include "TestAuthority.h"

#include <QFile>
#include <QProcess>

#include <stdexcept>

namespace {

void WriteText(const QString& path, const QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0)
        throw std::runtime_error("cannot write " + path.toStdString());
}

void RunOpenssl(const QStringList& arguments)
{
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"), arguments);
    if (!openssl.waitForFinished(30000) || openssl.exitStatus() != QProcess::NormalExit || openssl.exitCode() != 0)
        throw std::runtime_error("openssl " + arguments.join(' ').toStdString() + " failed: "
                                 + openssl.errorString().toStdString() + "\n" + openssl.readAll().toStdString());
}

QStringList NewKeyArguments(const QString& keyFile)
{
    return {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", keyFile};
}

}  // namespace

TestAuthority::TestAuthority(QString folder) : m_folder(std::move(folder))
{
    RunOpenssl(QStringList{"req", "-x509"} + NewKeyArguments(m_folder + "/ca.key")
               + QStringList{"-out", CaFile(), "-days", "30", "-subj", "/CN=Orvane Test CA", "-addext",
                             "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign,cRLSign"});
    // openssl ca signs with any validity period, an expired one included.
    WriteText(m_folder + "/index.txt", {});
    WriteText(m_folder + "/ca.cnf", QStringLiteral("[ca]\n"
                                                   "default_ca = test_ca\n"
                                                   "[test_ca]\n"
                                                   "database = %1/index.txt\n"
                                                   "new_certs_dir = %1\n"
                                                   "certificate = %1/ca.pem\n"
                                                   "private_key = %1/ca.key\n"
                                                   "rand_serial = yes\n"
                                                   "default_md = sha256\n"
                                                   "policy = any_name\n"
                                                   "unique_subject = no\n"
                                                   "[any_name]\n"
                                                   "commonName = supplied\n")
                                        .arg(m_folder));
}

TestAuthority::Certificate TestAuthority::Issue(const QString& name, const QString& altNames,
                                                const QStringList& validity) const
{
    const QString base = m_folder + "/" + name;
    const Certificate issued{base + ".pem", base + ".key"};
    RunOpenssl(QStringList{"req"} + NewKeyArguments(issued.key)
               + QStringList{"-out", base + ".csr", "-subj", "/CN=" + name});
    WriteText(base + ".ext", "basicConstraints = CA:FALSE\n"
                             "extendedKeyUsage = serverAuth\n"
                             "subjectAltName = " + altNames + "\n");
    RunOpenssl(QStringList{"ca", "-batch", "-config", m_folder + "/ca.cnf", "-extfile", base + ".ext", "-in",
                           base + ".csr", "-out", issued.certificate}
               + validity);
    return issued;
}
