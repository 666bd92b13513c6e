#pragma once
// Fills message templates from language files. A template is input, never a
// printf format: "%s" takes a text, "%d" a number, "%%" is a percent sign,
// surplus arguments are ignored, and a missing argument or one of the wrong
// kind raises TemplateError.

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

namespace zelk::language {

class TemplateError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

using TemplateArgument = std::variant<std::string, std::int64_t>;

// Placeholders take optional flags "-", a width and a precision between the
// "%" and the letter ("%-10s", "%5d", "%.3s"), as the usual format rules allow.
std::string formatTemplate(std::string_view templateText, std::initializer_list<TemplateArgument> arguments);

// The kinds of the template's placeholders in their order, one letter each
// ('s' or 'd', whatever case the template uses): "sd" for "%s has %5d". A
// template that cannot be filled whatever the arguments raises TemplateError.
std::string placeholderKinds(std::string_view templateText);

}  // namespace zelk::language
