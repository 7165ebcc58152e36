#include "desktop/VersionPage.h"

namespace VersionPage {

namespace {
// The one place that names the project's host.
constexpr char Site[] = "http://www.tessary.org";
constexpr char Path[] = "/1.00b.htm";
} // namespace

QString siteAddress()
{
    return QString::fromLatin1(Site);
}

QUrl url()
{
    return QUrl(siteAddress() + QString::fromLatin1(Path));
}

QString notOpened()
{
    return QStringLiteral("No web browser could open the page. To look for a new version, copy this address into "
                          "a browser:\n\n%1")
        .arg(url().toString());
}

Status open(const UrlOpener &openUrl)
{
    if (openUrl && openUrl(url()))
        return Status::success();
    return Status::failure(notOpened());
}

} // namespace VersionPage
