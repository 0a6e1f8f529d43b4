#pragma once

#include <QString>
#include <QTranslator>

#include <map>
#include <string>
#include <utility>

namespace plannery::test {

// A translation of a few sentences, for tests that check what the user is told in another
// language.
class Glossary final : public QTranslator {
  public:
    // Translations by "context|source".
    using Entries = std::map<std::string, std::string>;

    explicit Glossary(Entries entries) : m_entries(std::move(entries)) {}

    QString translate(const char* context, const char* source, const char*, int) const override {
        const auto found = m_entries.find(std::string(context) + "|" + source);
        return found == m_entries.end() ? QString() : QString::fromStdString(found->second);
    }
    bool isEmpty() const override { return false; }

  private:
    Entries m_entries;
};

} // namespace plannery::test
