#pragma once
// The upload files (上报): every upload button of the program writes one or two dBase files
// into RCSB/ or GZSB/ of the base folder through this procedure, tells the person where
// they lie and opens the folder. The forms only choose the variant.

#include "core/base/AppPaths.h"
#include "core/base/Quarter.h"
#include "core/db/Db.h"
#include "core/files/DbfWriter.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <stdexcept>

namespace qm {
class UiService;
}

namespace qm::upload {

enum class Kind {
    StaffRegister,     // TFrm_allput.SBtClick: start-of-period list, RCSB/Gl_<DepNo>.dbf
    TalentSurvey,      // TFrm_hz: Total_Info, RCSB/<DepNo>.dbf
    WageSummary,       // TFrm_wagehz: Total_Info, GZSB/<DepNo>_i704.dbf
    OrganWageSummary,  // TFrm_wagejghz: Total_Info rows Gid 1..21, GZSB/<DepNo>_i705.dbf
    TalentSummary,     // TFrm_hzinfo: Total_baseInfo, RCSB/<DepNo>_i505.dbf, and the list, RCSB/Gl_<DepNo>.dbf
    QuarterReport,     // TFrm_JGLabor: JGLabor_info, GZSB/<DepNo>_<q>_i202.dbf
    AnnualReport,      // TFrm_NGLabor: NGLabor_info, GZSB/<DepNo>_i102.dbf
    QuarterLabour,     // TFrm_JLabor: JLabor_info, RCSB/<DepNo>_<q>_i202.dbf
    AnnualLabour,      // TFrm_NLabor: NLabor_info, RCSB/<DepNo>_i102.dbf
};

// A failed upload; the text names the file and the reason.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString Text() const { return QString::fromUtf8(what()); }
};

struct Written {
    QString folder;     // the upload folder with its trailing separator, as the message shows it
    QStringList files;  // full paths, in the order written
    QString message;    // the information text for the person
};

// The dBase field of an uploaded column: the one table of widths (see Upload.cpp).
dbf::FieldDef FieldFor(const QString& column, const QString& declaredType);

// Writes the files of one upload. `quarter` names the quarterly files (a quarterly kind without
// one refuses). `rangeCopy` (the wage summaries only) names the saved copy "Total_<from>_<to>"
// a form shows: its rows are uploaded instead of Total_Info's. Raises Error.
Written Write(db::Connection& c, const AppPaths& paths, Kind kind, const QString& depNo,
              std::optional<Quarter> quarter = std::nullopt, QDate date = QDate::currentDate(),
              const QString& rangeCopy = {});

// The whole button: writes, shows the message (information, OK) and opens the folder.
// A failure is shown in the plain box instead, and no folder is opened. Answers true on
// success, when the form that holds the button closes.
bool Run(db::Connection& c, UiService& ui, const AppPaths& paths, Kind kind, const QString& depNo,
         std::optional<Quarter> quarter = std::nullopt, const QString& rangeCopy = {});

}  // namespace qm::upload
