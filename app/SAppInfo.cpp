// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SAppInfo.h"

#include "framework/Mu.h"
#include "framework/MxApp.h"

namespace SAppInfo {
namespace {

QString info(const char *key) { return Mx::App::info(QString::fromLatin1(key)); }

// One release row of the history table, newest first.
struct Release {
    const char *version;
    const char *date;
    const char *features[4];
};

const Release kReleases[] = {
    {"1.0.5",
     "January 12, 2006",
     {"Search for point codes and blunders", "Observed projection centres drawn apart", "Export of views as pictures",
      nullptr}},
    {"1.0.0",
     "October 3, 2005",
     {"Image viewers with table and info views", "Object viewers in the XY, XZ and YZ planes",
      "Selection by rectangle, image and search criteria", "Preference pages"}},
    {"0.9.0", "April 13, 2005", {"First version: reading PAT-B projects", nullptr, nullptr, nullptr}},
};

} // namespace

QString historyText()
{
    QString html = Mu::tr("<br><center><h2>History since creation of program at %1</h2>").arg(info("dateCreation"));
    // White on the dark blue header row: black text would hardly show on it.
    html += QStringLiteral("<table border=2><tr bgcolor=\"#3b589a\"><td><font color=\"#ffffff\"><b>%1</b></font></td>"
                           "<td><font color=\"#ffffff\"><b>%2</b></font></td>"
                           "<td><font color=\"#ffffff\"><b>%3</b></font></td></tr>")
                .arg(Mu::tr("Version"), Mu::tr("Date"), Mu::tr("Features"));
    for (const Release &r : kReleases) {
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td><ul>").arg(QLatin1String(r.version), Mu::tr(r.date));
        for (const char *f : r.features)
            if (f)
                html += QStringLiteral("<li>%1</li>").arg(Mu::tr(f));
        html += QStringLiteral("</ul></td></tr>");
    }
    html += QStringLiteral("</table></center>");
    return html;
}

QString supportText()
{
    return Mu::tr("<br><center><h2>For more information, please contact:</h2><br><h2>%1</h2><h2>Phone: %2<br>Fax: "
                  "%3<br>E-Mail: <font color=\"#0000ff\"><u>%4</u></font></h2><h2>or</h2><h2>%5</h2><h2>Phone: "
                  "%6<br>Fax: %7<br>E-Mail: <font color=\"#0000ff\"><u>%8</u></font></h2></center>")
        .arg(info("author1"), info("author1Tel"), info("author1Fax"), info("author1Email"), info("author2"),
             info("author2Tel"), info("author2Fax"), info("author2Email"));
}

QString aboutText()
{
    return Mu::tr("<h2>%1</h2><h3>Graphical Analysis Tool for PATB Adjustment Results</h3><h3>Version: %2</h3>"
                  "Written by %3 and %4.<br>Free software under the GNU General Public License, version 3 or "
                  "later.<br><br>"
                  "<p>This program is protected by copyright law. Copying or distributing it, or any part of it, is "
                  "permitted only under the terms of the GNU General Public License (see the file LICENSE); it comes "
                  "with ABSOLUTELY NO WARRANTY.</p>")
        .arg(info("name"), info("version"), info("author1"), info("author2"));
}

void fill()
{
    using Mx::App;
    App::setInfo(QStringLiteral("version"), QString::fromLatin1(kVersion));
    App::setInfo(QStringLiteral("dateLastChange"), Mu::tr("January 12, 2006"));
    App::setInfo(QStringLiteral("dateCreation"), Mu::tr("April 13, 2005"));
    App::setInfo(QStringLiteral("author1"), QStringLiteral("Varlomin Photogrammetry Software"));
    App::setInfo(QStringLiteral("author1Email"), QStringLiteral("support@varlomin.example"));
    App::setInfo(QStringLiteral("author1Tel"), QStringLiteral("+49 711 000 000"));
    App::setInfo(QStringLiteral("author1Fax"), QStringLiteral("+49 711 000 001"));
    App::setInfo(QStringLiteral("author2"), QStringLiteral("Institute for Photogrammetry Users' Group"));
    App::setInfo(QStringLiteral("author2Email"), QStringLiteral("users@varlomin.example"));
    App::setInfo(QStringLiteral("author2Tel"), QStringLiteral("+49 711 000 100"));
    App::setInfo(QStringLiteral("author2Fax"), QStringLiteral("+49 711 000 101"));
    App::setInfo(QStringLiteral("name"), QCoreApplication::applicationName());
    App::setInfo(QStringLiteral("history"), historyText());
    App::setInfo(QStringLiteral("nameLong"),
                 Mu::tr("%1 Version %2").arg(QCoreApplication::applicationName(), info("version")));
    App::setInfo(QStringLiteral("support"), supportText());
}

} // namespace SAppInfo
