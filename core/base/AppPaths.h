#pragma once
// The one base folder (the program's own folder; tests pass another) and every path below it.

#include <QString>

namespace qm {

class AppPaths {
public:
    explicit AppPaths(QString base);
    // The program's folder; QM_BASE_DIR in the environment overrides it.
    static AppPaths ForProgram();

    const QString& Base() const { return base_; }
    QString Database() const { return Sub(QStringLiteral("Database/RCdatabase.mdb")); }
    QString EmptyDatabase() const { return Sub(QStringLiteral("Database/Defual.mdb")); }
    QString DatabaseDir() const { return Sub(QStringLiteral("Database")); }
    QString Bak() const { return Sub(QStringLiteral("BAK")); }
    QString Error() const { return Sub(QStringLiteral("ERROR")); }
    QString Xls() const { return Sub(QStringLiteral("XLS")); }
    QString Rcsb() const { return Sub(QStringLiteral("RCSB")); }
    QString Gzsb() const { return Sub(QStringLiteral("GZSB")); }
    // The help documents shipped in HLP/: the filling instructions and the system's help.
    QString FillingHelp() const { return Sub(QStringLiteral("HLP/填写说明及指标解释.html")); }
    QString SystemHelp() const { return Sub(QStringLiteral("HLP/Quillmarsh说明.html")); }

    // Creates a folder (and its parents) when missing; answers its path.
    static QString Ensure(const QString& folder);

private:
    QString Sub(const QString& rel) const;
    QString base_;
};

}  // namespace qm
