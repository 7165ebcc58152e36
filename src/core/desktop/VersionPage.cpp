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

Status open(const UrlOpener &openUrl)
{
    const QUrl page = url();
    if (openUrl && openUrl(page))
        return Status::success();
    return Status::failure(QStringLiteral("No web browser could be started to show %1.").arg(page.toString()));
}

} // namespace VersionPage
