#include "ui/dialog_description.hpp"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <map>
#include <utility>

#include "ui/text_encoding.hpp"

namespace pinwright::ui {

const ControlDescription* DialogDescription::find(int id) const {
  const auto it = std::lower_bound(
      controls.begin(), controls.end(), id,
      [](const ControlDescription& control, int wanted) { return control.id < wanted; });
  return it != controls.end() && it->id == id ? &*it : nullptr;
}

namespace {

// The XML a Designer file uses: elements, attributes, character data with the
// five named entities and numeric references, comments and processing
// instructions. Document type declarations and CDATA sections do not occur in
// these files and are refused.
struct Element {
  std::string name;
  std::map<std::string, std::string> attributes;
  std::vector<Element> children;
  std::string text;  // the character data directly inside
  int line = 0;

  const std::string* attribute(const std::string& key) const {
    const auto it = attributes.find(key);
    return it == attributes.end() ? nullptr : &it->second;
  }
};

struct Failure {
  int line;
  std::string reason;
};

class XmlReader {
 public:
  explicit XmlReader(std::string_view xml) : xml_(xml) {}

  // The root element; throws nothing, reports through `failure_`.
  std::optional<Element> read_document() {
    skip_misc();
    if (failure_) return std::nullopt;
    if (at_end() || peek() != '<') return fail("the document has no root element");
    Element root;
    if (!read_element(root)) return std::nullopt;
    skip_misc();
    if (failure_) return std::nullopt;
    if (!at_end()) return fail("text after the root element");
    return root;
  }

  const std::optional<Failure>& failure() const { return failure_; }

 private:
  bool at_end() const { return pos_ >= xml_.size(); }
  char peek() const { return xml_[pos_]; }
  bool starts_with(std::string_view prefix) const { return xml_.substr(pos_).starts_with(prefix); }

  void advance(std::size_t count) {
    for (std::size_t i = 0; i < count && pos_ < xml_.size(); ++i, ++pos_) {
      if (xml_[pos_] == '\n') ++line_;
    }
  }

  std::nullopt_t fail(std::string reason) {
    if (!failure_) failure_ = Failure{line_, std::move(reason)};
    return std::nullopt;
  }

  static bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
  static bool is_name_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || c == ':';
  }

  void skip_space() {
    while (!at_end() && is_space(peek())) advance(1);
  }

  bool skip_past(std::string_view terminator, std::string_view what) {
    const std::size_t end = xml_.find(terminator, pos_);
    if (end == std::string_view::npos) {
      fail("unterminated " + std::string(what));
      return false;
    }
    advance(end + terminator.size() - pos_);
    return true;
  }

  // Blanks, comments and processing instructions (the XML declaration).
  void skip_misc() {
    while (!failure_) {
      skip_space();
      if (starts_with("<?")) {
        if (!skip_past("?>", "processing instruction")) return;
      } else if (starts_with("<!--")) {
        if (!skip_past("-->", "comment")) return;
      } else if (starts_with("<!")) {
        fail("document type declarations are not supported");
        return;
      } else {
        return;
      }
    }
  }

  std::optional<std::string> read_name() {
    const std::size_t start = pos_;
    while (!at_end() && is_name_char(peek())) advance(1);
    if (pos_ == start) return fail("a name is missing");
    return std::string(xml_.substr(start, pos_ - start));
  }

  // At '&': appends the character the reference stands for.
  bool read_reference(std::string& out) {
    const std::size_t end = xml_.find(';', pos_);
    if (end == std::string_view::npos || end - pos_ > 12) {
      fail("a '&' that starts no reference");
      return false;
    }
    const std::string_view name = xml_.substr(pos_ + 1, end - pos_ - 1);
    static const std::map<std::string_view, char> kNamed = {
        {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
    if (const auto it = kNamed.find(name); it != kNamed.end()) {
      out += it->second;
    } else if (name.starts_with('#')) {
      const bool hex = name.size() > 1 && name[1] == 'x';
      const std::string_view digits = name.substr(hex ? 2 : 1);
      std::uint32_t code = 0;
      const auto result =
          std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
      if (digits.empty() || result.ec != std::errc{} ||
          result.ptr != digits.data() + digits.size() || code == 0 || code > 0x10FFFF ||
          (code >= 0xD800 && code <= 0xDFFF)) {
        fail("a bad character reference &" + std::string(name) + ";");
        return false;
      }
      append_utf8(out, static_cast<char32_t>(code));
    } else {
      fail("an unknown entity &" + std::string(name) + ";");
      return false;
    }
    advance(end + 1 - pos_);
    return true;
  }

  bool read_attribute_value(std::string& value) {
    if (at_end() || (peek() != '"' && peek() != '\'')) {
      fail("an attribute value is not quoted");
      return false;
    }
    const char quote = peek();
    advance(1);
    while (!at_end() && peek() != quote) {
      if (peek() == '<') {
        fail("'<' inside an attribute value");
        return false;
      }
      if (peek() == '&') {
        if (!read_reference(value)) return false;
      } else {
        value += peek();
        advance(1);
      }
    }
    if (at_end()) {
      fail("unterminated attribute value");
      return false;
    }
    advance(1);
    return true;
  }

  // At '<' of a start tag: reads the element with everything inside it.
  bool read_element(Element& element) {
    element.line = line_;
    advance(1);
    auto name = read_name();
    if (!name) return false;
    element.name = std::move(*name);
    while (true) {
      const bool had_space = !at_end() && is_space(peek());
      skip_space();
      if (at_end()) {
        fail("unterminated start tag <" + element.name + ">");
        return false;
      }
      if (starts_with("/>")) {
        advance(2);
        return true;
      }
      if (peek() == '>') {
        advance(1);
        break;
      }
      if (!had_space) {
        fail("attributes of <" + element.name + "> must be separated by blanks");
        return false;
      }
      auto key = read_name();
      if (!key) return false;
      skip_space();
      if (at_end() || peek() != '=') {
        fail("attribute " + *key + " has no value");
        return false;
      }
      advance(1);
      skip_space();
      std::string value;
      if (!read_attribute_value(value)) return false;
      if (!element.attributes.emplace(std::move(*key), std::move(value)).second) {
        fail("a repeated attribute in <" + element.name + ">");
        return false;
      }
    }
    return read_content(element);
  }

  bool read_content(Element& element) {
    while (true) {
      if (at_end()) {
        fail("<" + element.name + "> is not closed");
        return false;
      }
      if (starts_with("</")) {
        advance(2);
        const auto name = read_name();
        if (!name) return false;
        if (*name != element.name) {
          fail("</" + *name + "> closes <" + element.name + ">");
          return false;
        }
        skip_space();
        if (at_end() || peek() != '>') {
          fail("unterminated end tag </" + *name + ">");
          return false;
        }
        advance(1);
        return true;
      }
      if (starts_with("<!--")) {
        if (!skip_past("-->", "comment")) return false;
      } else if (starts_with("<?")) {
        if (!skip_past("?>", "processing instruction")) return false;
      } else if (starts_with("<!")) {
        fail("CDATA sections and declarations are not supported");
        return false;
      } else if (peek() == '<') {
        Element child;
        if (!read_element(child)) return false;
        element.children.push_back(std::move(child));
      } else if (peek() == '&') {
        if (!read_reference(element.text)) return false;
      } else if (peek() == '\r') {
        // XML reads a CR LF or a lone CR as one line feed.
        element.text += '\n';
        advance(starts_with("\r\n") ? 2 : 1);
      } else {
        element.text += peek();
        advance(1);
      }
    }
  }

  std::string_view xml_;
  std::size_t pos_ = 0;
  int line_ = 1;
  std::optional<Failure> failure_;
};

// Turns the widgets of the document into the control table.
class ControlCollector {
 public:
  std::optional<Failure> failure;
  std::vector<ControlDescription> controls;

  void collect(const Element& element) {
    for (const Element& child : element.children) {
      if (failure) return;
      if (child.name == "widget") add_widget(child);
      collect(child);
    }
  }

 private:
  void fail(const Element& at, std::string reason) {
    if (!failure) failure = Failure{at.line, std::move(reason)};
  }

  static const Element* property(const Element& widget, std::string_view name) {
    for (const Element& child : widget.children) {
      const std::string* key = child.attribute("name");
      if (child.name == "property" && key && *key == name) return &child;
    }
    return nullptr;
  }

  // The single value element of a property, which must be of `type`.
  const Element* value(const Element& property, std::string_view type) {
    if (property.children.size() != 1 || property.children.front().name != type) {
      fail(property, "property " + *property.attribute("name") + " must hold one <" +
                         std::string(type) + ">");
      return nullptr;
    }
    return &property.children.front();
  }

  std::optional<std::string> string_property(const Element& widget, std::string_view name) {
    const Element* found = property(widget, name);
    if (!found) return std::nullopt;
    const Element* text = value(*found, "string");
    if (!text) return std::nullopt;
    return text->text;
  }

  std::optional<bool> bool_property(const Element& widget, std::string_view name) {
    const Element* found = property(widget, name);
    if (!found) return std::nullopt;
    const Element* flag = value(*found, "bool");
    if (!flag) return std::nullopt;
    if (flag->text == "true") return true;
    if (flag->text == "false") return false;
    fail(*flag, "property " + std::string(name) + " is neither true nor false");
    return std::nullopt;
  }

  std::optional<int> number_property(const Element& widget, std::string_view name) {
    const Element* found = property(widget, name);
    if (!found) return std::nullopt;
    const Element* number = value(*found, "number");
    if (!number) return std::nullopt;
    int result = 0;
    const std::string& digits = number->text;
    const auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), result);
    if (digits.empty() || parsed.ec != std::errc{} || parsed.ptr != digits.data() + digits.size()) {
      fail(*number, "property " + std::string(name) + " is not a whole number");
      return std::nullopt;
    }
    return result;
  }

  std::optional<ControlKind> kind_of(const Element& widget, const std::string& widget_class) {
    if (widget_class == "QGroupBox") return ControlKind::group_box;
    if (widget_class == "QPushButton") return ControlKind::button;
    if (widget_class == "QCheckBox") return ControlKind::check_box;
    if (widget_class == "QComboBox") return ControlKind::combo_box;
    if (widget_class == "QLineEdit") return ControlKind::edit;
    if (widget_class == "QLabel") {
      const auto kind = string_property(widget, "controlKind");
      if (!kind) return ControlKind::static_text;
      if (*kind == "picture") return ControlKind::picture;
      fail(widget, "unknown controlKind \"" + *kind + "\"");
      return std::nullopt;
    }
    fail(widget, "widget class " + widget_class + " is not a control kind");
    return std::nullopt;
  }

  void add_widget(const Element& widget) {
    const Element* id_property = property(widget, "controlId");
    if (!id_property) return;  // a container, not a control
    const std::string* stdset = id_property->attribute("stdset");
    if (!stdset || *stdset != "0")
      return fail(*id_property, "controlId must be dynamic (stdset=\"0\")");
    const auto id = number_property(widget, "controlId");
    if (!id) return;
    if (*id <= 0)
      return fail(*id_property, "controlId " + std::to_string(*id) + " is not positive");
    const std::string* widget_class = widget.attribute("class");
    if (!widget_class) return fail(widget, "a widget without a class");
    const auto kind = kind_of(widget, *widget_class);
    if (!kind) return;

    ControlDescription control;
    control.id = *id;
    control.kind = *kind;
    switch (*kind) {
      case ControlKind::group_box:
        control.text = string_property(widget, "title").value_or("");
        break;
      case ControlKind::button:
      case ControlKind::check_box:
      case ControlKind::static_text:
      case ControlKind::edit:
        control.text = string_property(widget, "text").value_or("");
        break;
      case ControlKind::combo_box:
        read_items(widget, control);
        break;
      case ControlKind::picture:
        break;
    }
    if (*kind == ControlKind::check_box)
      control.checked = bool_property(widget, "checked").value_or(false);
    if (*kind == ControlKind::button)
      control.is_default = bool_property(widget, "default").value_or(false);
    if (*kind == ControlKind::edit && bool_property(widget, "readOnly").value_or(false))
      control.state = FieldState::read_only;
    if (!bool_property(widget, "enabled").value_or(true)) control.state = FieldState::disabled;
    if (failure) return;

    for (const ControlDescription& known : controls) {
      if (known.id == control.id)
        return fail(*id_property, "controlId " + std::to_string(control.id) + " is used twice");
    }
    controls.push_back(std::move(control));
  }

  void read_items(const Element& widget, ControlDescription& control) {
    for (const Element& child : widget.children) {
      if (child.name != "item") continue;
      const auto text = string_property(child, "text");
      if (!text) {
        if (!failure) fail(child, "a combo box item without text");
        return;
      }
      control.items.push_back(*text);
    }
    const int size = static_cast<int>(control.items.size());
    // Qt selects the first item unless told otherwise; -1 selects none.
    control.selected_item = number_property(widget, "currentIndex").value_or(size > 0 ? 0 : -1);
    if (failure) return;
    if (control.selected_item < -1 || control.selected_item >= size) {
      return fail(widget, "currentIndex " + std::to_string(control.selected_item) +
                              " is outside the combo box's items");
    }
    if (control.selected_item >= 0) control.text = control.items[control.selected_item];
  }
};

}  // namespace

DescriptionResult read_dialog_description(std::string_view designer_xml) {
  XmlReader reader(designer_xml);
  const std::optional<Element> root = reader.read_document();
  const auto report = [](const Failure& failure) {
    return DescriptionResult{std::nullopt,
                             "line " + std::to_string(failure.line) + ": " + failure.reason};
  };
  if (!root) return report(*reader.failure());
  if (root->name != "ui") return report({root->line, "the root element is not <ui>"});

  ControlCollector collector;
  collector.collect(*root);
  if (collector.failure) return report(*collector.failure);
  if (collector.controls.empty()) return report({root->line, "no widget carries a controlId"});

  DialogDescription dialog{std::move(collector.controls)};
  std::sort(dialog.controls.begin(), dialog.controls.end(),
            [](const ControlDescription& a, const ControlDescription& b) { return a.id < b.id; });
  return {std::move(dialog), {}};
}

}  // namespace pinwright::ui
