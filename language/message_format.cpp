#include "language/message_format.h"

#include <string>

namespace zelk::language {
namespace {

// Bounds a width or precision: a translator's typo must not ask for gigabytes.
constexpr std::size_t kMaxFieldSize = 9999;

struct Placeholder {
  bool leftAlign = false;
  std::size_t width = 0;
  bool hasPrecision = false;
  std::size_t precision = 0;
  char conversion = '\0';
};

class TemplateParser {
 public:
  TemplateParser(std::string_view templateText, std::initializer_list<TemplateArgument> arguments)
      : text_(templateText), arguments_(arguments) {}

  std::string run() {
    std::string out;
    walk([&out](std::string_view literal) { out.append(literal); },
         [this, &out](const Placeholder& placeholder) { out += fill(placeholder, nextArgument()); });
    return out;
  }

  std::string kinds() {
    std::string letters;
    walk([](std::string_view) {}, [&letters](const Placeholder& placeholder) { letters += placeholder.conversion; });
    return letters;
  }

 private:
  // Hands the template's literal text and its placeholders, in order, to
  // `literal` and `field`.
  template <typename Literal, typename Field>
  void walk(Literal literal, Field field) {
    while (position_ < text_.size()) {
      const std::size_t percent = text_.find('%', position_);
      literal(text_.substr(position_, percent - position_));
      if (percent == std::string_view::npos) break;
      position_ = percent + 1;
      if (peek() == '%') {
        literal("%");
        ++position_;
        continue;
      }
      field(parsePlaceholder());
    }
  }

  char peek() const { return position_ < text_.size() ? text_[position_] : '\0'; }

  [[noreturn]] void fail(const std::string& problem) const {
    throw TemplateError("Message template \"" + std::string(text_) + "\": " + problem);
  }

  [[noreturn]] void failKind(const char* placeholder, const char* argumentKind) const {
    fail("placeholder " + std::to_string(argumentIndex_) + " is " + placeholder + " but its argument is " +
         argumentKind);
  }

  std::size_t number() {
    std::size_t value = 0;
    while (peek() >= '0' && peek() <= '9') {
      value = value * 10 + static_cast<std::size_t>(peek() - '0');
      if (value > kMaxFieldSize) fail("width or precision above " + std::to_string(kMaxFieldSize));
      ++position_;
    }
    return value;
  }

  Placeholder parsePlaceholder() {
    Placeholder placeholder;
    while (peek() == '-') {
      placeholder.leftAlign = true;
      ++position_;
    }
    placeholder.width = number();
    if (peek() == '.') {
      ++position_;
      placeholder.hasPrecision = true;
      placeholder.precision = number();
    }
    if (position_ >= text_.size()) fail("a '%' at the end has no conversion letter");
    const char letter = text_[position_++];
    if (letter == 's' || letter == 'S') {
      placeholder.conversion = 's';
    } else if (letter == 'd' || letter == 'D') {
      placeholder.conversion = 'd';
    } else {
      fail(std::string("unknown conversion '%") + letter + "'");
    }
    return placeholder;
  }

  const TemplateArgument& nextArgument() {
    if (argumentIndex_ >= arguments_.size()) {
      fail("placeholder " + std::to_string(argumentIndex_ + 1) + " has no argument (" +
           std::to_string(arguments_.size()) + " given)");
    }
    return arguments_.begin()[argumentIndex_++];
  }

  std::string fill(const Placeholder& placeholder, const TemplateArgument& argument) const {
    std::string field;
    if (placeholder.conversion == 's') {
      const auto* text = std::get_if<std::string>(&argument);
      if (text == nullptr) failKind("%s", "a number");
      field = placeholder.hasPrecision ? text->substr(0, placeholder.precision) : *text;
    } else {
      const auto* value = std::get_if<std::int64_t>(&argument);
      if (value == nullptr) failKind("%d", "a text");
      field = integerText(*value, placeholder.hasPrecision ? placeholder.precision : 0);
    }
    if (field.size() < placeholder.width) {
      const std::string padding(placeholder.width - field.size(), ' ');
      field = placeholder.leftAlign ? field + padding : padding + field;
    }
    return field;
  }

  // Decimal digits, zero-padded to `minDigits`, with the sign before the zeros.
  static std::string integerText(std::int64_t value, std::size_t minDigits) {
    // Through the unsigned type, so that the most negative value has a magnitude.
    const auto bits = static_cast<std::uint64_t>(value);
    const std::uint64_t magnitude = value < 0 ? ~bits + 1 : bits;
    std::string digits = std::to_string(magnitude);
    if (digits.size() < minDigits) digits.insert(0, minDigits - digits.size(), '0');
    return value < 0 ? "-" + digits : digits;
  }

  std::string_view text_;
  std::initializer_list<TemplateArgument> arguments_;
  std::size_t position_ = 0;
  std::size_t argumentIndex_ = 0;
};

}  // namespace

std::string formatTemplate(std::string_view templateText, std::initializer_list<TemplateArgument> arguments) {
  return TemplateParser(templateText, arguments).run();
}

std::string placeholderKinds(std::string_view templateText) { return TemplateParser(templateText, {}).kinds(); }

}  // namespace zelk::language
