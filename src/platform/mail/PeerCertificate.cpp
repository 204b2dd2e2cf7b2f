#include "platform/mail/PeerCertificate.h"

#include <gnutls/x509.h>

#include <memory>
#include <vector>

namespace Enrolix::PeerCertificate {
namespace {

struct TrustListFree
{
    void operator()(gnutls_x509_trust_list_st* list) const { gnutls_x509_trust_list_deinit(list, 1); }
};

struct CertificateFree
{
    void operator()(gnutls_x509_crt_int* certificate) const { gnutls_x509_crt_deinit(certificate); }
};

using Certificate = std::unique_ptr<gnutls_x509_crt_int, CertificateFree>;

Certificate imported(const QByteArray& der)
{
    gnutls_x509_crt_t certificate = nullptr;
    if (gnutls_x509_crt_init(&certificate) < 0)
        return nullptr;
    Certificate owned(certificate);
    gnutls_datum_t data{reinterpret_cast<unsigned char*>(const_cast<char*>(der.constData())), unsigned(der.size())};
    return gnutls_x509_crt_import(certificate, &data, GNUTLS_X509_FMT_DER) < 0 ? nullptr : std::move(owned);
}

} // namespace

bool trusted(const QList<QByteArray>& chain, const QString& host, const QString& caFile)
{
    if (chain.isEmpty())
        return false;
    gnutls_x509_trust_list_t list = nullptr;
    if (gnutls_x509_trust_list_init(&list, 0) < 0)
        return false;
    const std::unique_ptr<gnutls_x509_trust_list_st, TrustListFree> owned(list);
    gnutls_x509_trust_list_add_system_trust(list, 0, 0);
    if (!caFile.isEmpty() && gnutls_x509_trust_list_add_trust_file(list, caFile.toLocal8Bit().constData(), nullptr,
                                                                   GNUTLS_X509_FMT_PEM, 0, 0) <= 0)
        return false;
    std::vector<Certificate> certificates;
    std::vector<gnutls_x509_crt_t> raw;
    for (const QByteArray& der : chain) {
        certificates.push_back(imported(der));
        if (!certificates.back())
            return false;
        raw.push_back(certificates.back().get());
    }
    const QByteArray name = host.toUtf8();
    gnutls_typed_vdata_st checks[2] = {
        {GNUTLS_DT_DNS_HOSTNAME, reinterpret_cast<unsigned char*>(const_cast<char*>(name.constData())), 0},
        {GNUTLS_DT_KEY_PURPOSE_OID,
         reinterpret_cast<unsigned char*>(const_cast<char*>(static_cast<const char*>(GNUTLS_KP_TLS_WWW_SERVER))), 0}};
    unsigned status = 0;
    return gnutls_x509_trust_list_verify_crt2(list, raw.data(), unsigned(raw.size()), checks, 2, 0, &status, nullptr) ==
               0 &&
           status == 0;
}

} // namespace Enrolix::PeerCertificate
