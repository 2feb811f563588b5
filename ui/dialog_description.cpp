#include "ui/dialog_description.hpp"

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <utility>

namespace pinwright::ui {

const ControlDescription* DialogDescription::find(int id) const {
  const auto it = std::lower_bound(
      controls.begin(), controls.end(), id,
      [](const ControlDescription& control, int wanted) { return control.id < wanted; });
  return it != controls.end() && it->id == id ? &*it : nullptr;
}

namespace {

struct Failure {
  std::ptrdiff_t offset;  // byte offset into the description
  std::string reason;
};

// Why pugixml refused the document, worded like the reader's own faults.
std::string parse_failure_reason(const pugi::xml_parse_result& result) {
  switch (result.status) {
    case pugi::status_no_document_element:
      return "the document has no root element";
    case pugi::status_unrecognized_tag:
      return "a malformed tag";
    case pugi::status_bad_pi:
      return "a malformed processing instruction";
    case pugi::status_bad_comment:
      return "a malformed comment";
    case pugi::status_bad_cdata:
      return "a malformed CDATA section";
    case pugi::status_bad_doctype:
      return "a malformed document type declaration";
    case pugi::status_bad_pcdata:
      return "malformed character data";
    case pugi::status_bad_start_element:
      return "a malformed start tag";
    case pugi::status_bad_attribute:
      return "a malformed attribute";
    case pugi::status_bad_end_element:
      return "a malformed end tag";
    case pugi::status_end_element_mismatch:
      return "an element is not closed by its own end tag";
    default:
      return result.description();
  }
}

bool is_element(pugi::xml_node node, std::string_view name) {
  return node.type() == pugi::node_element && name == node.name();
}

// The character data directly inside an element. Whitespace-only data is kept
// (the reader parses with parse_ws_pcdata): a caption may be a blank.
std::string text_of(pugi::xml_node element) {
  std::string text;
  for (const pugi::xml_node child : element.children()) {
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
      text += child.value();
  }
  return text;
}

// Turns the widgets of the document into the control table, in document order.
class ControlCollector : public pugi::xml_tree_walker {
 public:
  std::optional<Failure> failure;
  std::vector<ControlDescription> controls;

  bool for_each(pugi::xml_node& node) override {
    if (is_element(node, "widget")) add_widget(node);
    return !failure;
  }

 private:
  void fail(pugi::xml_node at, std::string reason) {
    if (!failure) failure = Failure{at.offset_debug(), std::move(reason)};
  }

  static pugi::xml_node property(pugi::xml_node widget, const char* name) {
    return widget.find_child_by_attribute("property", "name", name);
  }

  // The single value element of a property, which must be of `type`.
  pugi::xml_node value(pugi::xml_node property, std::string_view type) {
    pugi::xml_node only;
    int elements = 0;
    for (const pugi::xml_node child : property.children()) {
      if (child.type() != pugi::node_element) continue;
      only = child;
      ++elements;
    }
    if (elements != 1 || type != only.name()) {
      fail(property, "property " + std::string(property.attribute("name").value()) +
                         " must hold one <" + std::string(type) + ">");
      return {};
    }
    return only;
  }

  std::optional<std::string> string_property(pugi::xml_node widget, const char* name) {
    const pugi::xml_node found = property(widget, name);
    if (!found) return std::nullopt;
    const pugi::xml_node text = value(found, "string");
    if (!text) return std::nullopt;
    return text_of(text);
  }

  std::optional<bool> bool_property(pugi::xml_node widget, const char* name) {
    const pugi::xml_node found = property(widget, name);
    if (!found) return std::nullopt;
    const pugi::xml_node flag = value(found, "bool");
    if (!flag) return std::nullopt;
    const std::string text = text_of(flag);
    if (text == "true") return true;
    if (text == "false") return false;
    fail(flag, "property " + std::string(name) + " is neither true nor false");
    return std::nullopt;
  }

  std::optional<int> number_property(pugi::xml_node widget, const char* name) {
    const pugi::xml_node found = property(widget, name);
    if (!found) return std::nullopt;
    const pugi::xml_node number = value(found, "number");
    if (!number) return std::nullopt;
    const std::string digits = text_of(number);
    int result = 0;
    const auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), result);
    if (digits.empty() || parsed.ec != std::errc{} || parsed.ptr != digits.data() + digits.size()) {
      fail(number, "property " + std::string(name) + " is not a whole number");
      return std::nullopt;
    }
    return result;
  }

  std::optional<ControlKind> kind_of(pugi::xml_node widget, std::string_view widget_class) {
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
    // The map and the run panel's lines are widgets of the window's own.
    if (widget_class == "pinwright::ui::qt::MapPanel") return ControlKind::map;
    if (widget_class == "pinwright::ui::qt::RunLine") return ControlKind::static_text;
    fail(widget, "widget class " + std::string(widget_class) + " is not a control kind");
    return std::nullopt;
  }

  void add_widget(pugi::xml_node widget) {
    const pugi::xml_node id_property = property(widget, "controlId");
    if (!id_property) return;  // a container, not a control
    if (std::string_view(id_property.attribute("stdset").value()) != "0")
      return fail(id_property, "controlId must be dynamic (stdset=\"0\")");
    const auto id = number_property(widget, "controlId");
    if (!id) return;
    if (*id <= 0) return fail(id_property, "controlId " + std::to_string(*id) + " is not positive");
    const pugi::xml_attribute widget_class = widget.attribute("class");
    if (!widget_class) return fail(widget, "a widget without a class");
    const auto kind = kind_of(widget, widget_class.value());
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
      case ControlKind::map:
        break;
    }
    if (*kind == ControlKind::check_box)
      control.checked = bool_property(widget, "checked").value_or(false);
    if (*kind == ControlKind::button)
      control.is_default = bool_property(widget, "default").value_or(false);
    if (*kind == ControlKind::edit && bool_property(widget, "readOnly").value_or(false))
      control.state = FieldState::read_only;
    if (!bool_property(widget, "enabled").value_or(true)) control.state = FieldState::disabled;
    control.listed = bool_property(widget, "listed").value_or(true);
    if (failure) return;

    for (const ControlDescription& known : controls) {
      if (known.id == control.id)
        return fail(id_property, "controlId " + std::to_string(control.id) + " is used twice");
    }
    controls.push_back(std::move(control));
  }

  void read_items(pugi::xml_node widget, ControlDescription& control) {
    for (const pugi::xml_node item : widget.children("item")) {
      const auto text = string_property(item, "text");
      if (!text) {
        if (!failure) fail(item, "a combo box item without text");
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
  const auto report = [designer_xml](const Failure& failure) {
    const auto before = designer_xml.substr(0, static_cast<std::size_t>(failure.offset));
    const auto line = 1 + std::count(before.begin(), before.end(), '\n');
    return DescriptionResult{std::nullopt, "line " + std::to_string(line) + ": " + failure.reason};
  };

  pugi::xml_document document;
  const pugi::xml_parse_result parsed =
      document.load_buffer(designer_xml.data(), designer_xml.size(),
                           pugi::parse_default | pugi::parse_ws_pcdata, pugi::encoding_utf8);
  if (!parsed) return report({parsed.offset, parse_failure_reason(parsed)});

  // pugixml accepts several top-level elements; a description has one.
  const pugi::xml_node root = document.document_element();
  for (pugi::xml_node next = root.next_sibling(); next; next = next.next_sibling()) {
    if (next.type() == pugi::node_element)
      return report(
          {next.offset_debug(), "a second root element <" + std::string(next.name()) + ">"});
  }
  if (!is_element(root, "ui")) return report({root.offset_debug(), "the root element is not <ui>"});

  ControlCollector collector;
  document.traverse(collector);
  if (collector.failure) return report(*collector.failure);
  if (collector.controls.empty())
    return report({root.offset_debug(), "no widget carries a controlId"});

  DialogDescription dialog{std::move(collector.controls)};
  std::sort(dialog.controls.begin(), dialog.controls.end(),
            [](const ControlDescription& a, const ControlDescription& b) { return a.id < b.id; });
  return {std::move(dialog), {}};
}

}  // namespace pinwright::ui
