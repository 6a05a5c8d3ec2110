#pragma once
// QString and QStringList in test failure messages.
#include <QString>
#include <QStringList>
#include <ostream>

inline std::ostream& operator<<(std::ostream& o, const QString& s) { return o << s.toStdString(); }
inline void PrintTo(const QString& s, std::ostream* o) { *o << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* o) { *o << '{' << l.join(", ").toStdString() << '}'; }
