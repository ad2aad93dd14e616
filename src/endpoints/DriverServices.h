#pragma once
// The few program-wide services the phone drivers use, in one place: translation, the diagnostic log,
// the run's details text and the SIM alphabet.
#include <QString>

namespace orvia::driver {

QString T(const QString &english);                         // the phrase in the current language
void log(const QString &line);                             // one diagnostic log line
void addDetails(const QString &name, const QString &text); // one notice in the run's details text
QString fromGsm(const QString &gsmText); // GSM codes back to text; empty when a code does not convert

} // namespace orvia::driver
