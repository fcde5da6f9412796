#include "HttpFetch.h"

#include "Handle.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <mutex>

// CURLOPT_QUICK_EXIT arrived in 7.87.0 (CURLOPT_PROTOCOLS_STR and
// CURLOPT_REDIR_PROTOCOLS_STR in 7.85.0).
static_assert(LIBCURL_VERSION_NUM >= 0x075700, "libcurl 7.87.0 or later is needed");

namespace {

constexpr long kMaxRedirects = 5;
constexpr int kIdleWaitMs = 1000;  // upper bound of one wait; curl's timers and a wake-up cut it short
// Names a PEM file of certificate authorities trusted instead of libcurl's
// default bundle (a company's own authority, a test's).
constexpr const char* kCaFileVariable = "ORVANE_CA_FILE";

bool InitCurlOnce(std::string& error)
{
    static std::once_flag once;
    static CURLcode initResult = CURLE_OK;
    std::call_once(once, [] { initResult = curl_global_init(CURL_GLOBAL_DEFAULT); });
    if (initResult != CURLE_OK)
        error = std::string("curl_global_init(): ") + curl_easy_strerror(initResult);
    return initResult == CURLE_OK;
}

struct Transfer {
    std::string& body;
    std::size_t maxBytes;
    std::stop_token abort;
    const orvane::FetchProgress& progress;
    bool tooLarge = false;
};

std::size_t OnBodyBytes(char* data, std::size_t size, std::size_t count, void* user)
{
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    if (bytes > transfer.maxBytes - transfer.body.size()) {
        transfer.tooLarge = true;
        return 0;  // a short count makes curl end the transfer with a write error
    }
    transfer.body.append(data, bytes);
    return bytes;
}

int OnProgress(void* user, curl_off_t expected, curl_off_t received, curl_off_t, curl_off_t)
{
    const auto& transfer = *static_cast<Transfer*>(user);
    if (transfer.progress)
        transfer.progress(static_cast<std::uint64_t>(received), static_cast<std::uint64_t>(expected));
    return transfer.abort.stop_requested() ? 1 : 0;
}

long Milliseconds(std::chrono::milliseconds limit)
{
    // curl reads 0 as "no limit": the shortest limit it can take is 1 ms.
    return static_cast<long>(std::max<std::chrono::milliseconds::rep>(limit.count(), 1));
}

using EasyHandle = orvane::detail::Handle<CURL, curl_easy_cleanup>;
using MultiHandle = orvane::detail::Handle<CURLM, curl_multi_cleanup>;

// Keeps an easy handle in a multi handle for the life of one transfer.
class MultiAttachment {
public:
    MultiAttachment(CURLM* multi, CURL* easy) : m_multi(multi), m_easy(easy)
    {
        m_attached = curl_multi_add_handle(multi, easy) == CURLM_OK;
    }
    ~MultiAttachment()
    {
        if (m_attached)
            curl_multi_remove_handle(m_multi, m_easy);
    }
    MultiAttachment(const MultiAttachment&) = delete;
    MultiAttachment& operator=(const MultiAttachment&) = delete;
    bool attached() const { return m_attached; }

private:
    CURLM* m_multi;
    CURL* m_easy;
    bool m_attached = false;
};

void ConfigureTransfer(CURL* easy, const std::string& url, const orvane::FetchLimits& limits,
                       Transfer& transfer, char* errorBuffer)
{
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, Milliseconds(limits.connectTimeout));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, Milliseconds(limits.totalTimeout));
    curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // A name lookup still running when the transfer ends (stopped, or timed
    // out) is left to finish on its own instead of being waited for: the
    // system resolver cannot be interrupted and may hang for minutes.
    curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBodyBytes);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer);
    // Peer and host name are always verified (libcurl's defaults); only the
    // authorities trusted can be chosen.
    const char* caFile = std::getenv(kCaFileVariable);
    if (caFile && *caFile)
        curl_easy_setopt(easy, CURLOPT_CAINFO, caFile);
}

FetchFailure KindOfFailure(CURLcode result, const Transfer& transfer)
{
    if (transfer.tooLarge)
        return FetchFailure::TooLarge;
    switch (result) {
    case CURLE_ABORTED_BY_CALLBACK:
        return FetchFailure::Stopped;
    case CURLE_FILESIZE_EXCEEDED:
        return FetchFailure::TooLarge;
    case CURLE_OPERATION_TIMEDOUT:
        return FetchFailure::TimedOut;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_HTTP2_STREAM:
        return FetchFailure::Interrupted;
    case CURLE_UNSUPPORTED_PROTOCOL:
        // The address given is http(s): only a redirect can lead elsewhere.
        return FetchFailure::RedirectRefused;
    case CURLE_TOO_MANY_REDIRECTS:
        return FetchFailure::TooManyRedirects;
    case CURLE_HTTP_RETURNED_ERROR:
        return FetchFailure::HttpStatus;
    default:
        return FetchFailure::Unreachable;
    }
}

std::string DescribeFailure(FetchFailure failure, CURLcode result, const Transfer& transfer,
                            const char* errorBuffer)
{
    if (failure == FetchFailure::Stopped)
        return "aborted";
    if (failure == FetchFailure::TooLarge)
        return "larger than " + std::to_string(transfer.maxBytes) + " bytes";
    std::string text = curl_easy_strerror(result);
    if (*errorBuffer)
        text += std::string(": ") + errorBuffer;
    return text;
}

}  // namespace

FetchFailure FetchHttp(const std::string& url, std::string& body, std::string& error,
                       const orvane::FetchLimits& limits, std::stop_token abort,
                       const orvane::FetchProgress& progress)
{
    body.clear();
    if (!InitCurlOnce(error))
        return FetchFailure::Unreachable;

    const EasyHandle easy(curl_easy_init());
    const MultiHandle multi(curl_multi_init());
    if (!easy || !multi) {
        error = "curl handle could not be created";
        return FetchFailure::Unreachable;
    }
    Transfer transfer{body, limits.maxBytes, abort, progress};
    char errorBuffer[CURL_ERROR_SIZE] = {};
    ConfigureTransfer(easy.get(), url, limits, transfer, errorBuffer);

    MultiAttachment attachment(multi.get(), easy.get());
    if (!attachment.attached()) {
        error = "curl_multi_add_handle() failed";
        return FetchFailure::Unreachable;
    }
    // A stop request wakes the wait below at once instead of at its next time-out.
    std::stop_callback wakeOnAbort(abort, [&multi] { curl_multi_wakeup(multi.get()); });

    int running = 1;
    while (running) {
        CURLMcode status = curl_multi_perform(multi.get(), &running);
        if (status == CURLM_OK && running && !abort.stop_requested())
            status = curl_multi_poll(multi.get(), nullptr, 0, kIdleWaitMs, nullptr);
        if (status != CURLM_OK) {
            error = curl_multi_strerror(status);
            return FetchFailure::Unreachable;
        }
        if (abort.stop_requested()) {
            error = "aborted";
            return FetchFailure::Stopped;
        }
    }

    int queued = 0;
    CURLcode result = CURLE_OK;
    while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued)) {
        if (message->msg == CURLMSG_DONE)
            result = message->data.result;
    }
    if (result == CURLE_OK)
        return FetchFailure::None;
    const FetchFailure failure = KindOfFailure(result, transfer);
    error = DescribeFailure(failure, result, transfer, errorBuffer);
    return failure;
}
