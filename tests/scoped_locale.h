#pragma once

#include <QLocale>

// Makes a locale QLocale's default while the object lives, then puts back the default that was
// in force before. A test case that checks texts with numbers names its locale this way, so it
// passes or fails alike whatever the machine's language and whatever case ran before it.
class ScopedLocale {
public:
    explicit ScopedLocale(const QLocale &locale) { QLocale::setDefault(locale); }
    ~ScopedLocale() { QLocale::setDefault(previous_); }
    ScopedLocale(const ScopedLocale &) = delete;
    ScopedLocale &operator=(const ScopedLocale &) = delete;

private:
    const QLocale previous_;  // a default-constructed QLocale is the default in force
};
