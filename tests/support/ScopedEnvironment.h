#pragma once

#include <QByteArray>

#include <utility>
#include <vector>

namespace korvane::test {

// Sets (or, given a null value, unsets) environment variables for one test and puts back what
// was there before.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::initializer_list<std::pair<const char*, QByteArray>> variables) {
        for (const auto& [name, value] : variables) {
            m_saved.push_back({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
            set(name, value);
        }
    }
    ~ScopedEnvironment() {
        for (const Saved& saved : m_saved) {
            if (saved.wasSet)
                qputenv(saved.name, saved.value);
            else
                qunsetenv(saved.name);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    struct Saved {
        const char* name;
        QByteArray value;
        bool wasSet;
    };
    static void set(const char* name, const QByteArray& value) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    std::vector<Saved> m_saved;
};

} // namespace korvane::test
