#include "colouring/MorphogenSettings.h"

#include <cmath>
#include <cstdio>

#include "core/AtomicFile.h"
#include "core/format_text.h"
#include "core/Messages.h"
#include "core/text_file.h"
#include "core/Tokenizer.h"

void MorphogenSettings::reset(const std::vector<std::string>& morphogen_names)
{
    names = morphogen_names;
    colours.assign(names.size(), Rgb{255, 0, 0});
    toggles.assign(names.size(), 0);
}

bool MorphogenSettings::write(const std::string& path, Messages& report) const
{
    std::string out = "SIZE " + std::to_string(colours.size()) + "\n";
    out += "BASECOL " + std::to_string(base_colour.r) + " " + std::to_string(base_colour.g) + " " +
           std::to_string(base_colour.b) + "\n";
    out += "MIXMODE " + std::to_string(mix_mode) + "\n";
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const Rgb& c = colours[i];
        const int toggle = i < toggles.size() ? toggles[i] : 0;
        out += "MORPHO\t" + std::to_string(c.r) + " " + std::to_string(c.g) + " " + std::to_string(c.b) + " " +
               std::to_string(toggle) + "\n";
    }
    std::string problem;
    if (write_file_atomically(path, out, problem)) return true;
    report.error(file_error_line("ERROR: SAVING FILE .MOR File! QtMorphogenWidget::saveSlot(void)", path, problem),
                 path);
    return false;
}

namespace {

enum class Key { Size, BaseColour, MixMode, Morpho };

// One keyword of the file with its numbers, already checked.
struct Setting {
    Key key;
    int line;
    int value[4];
};

struct KeyForm {
    const char* word;
    Key key;
    int count;    // numbers that follow the keyword
    bool colour;  // the first three are colour components 0..255
};

const KeyForm forms[] = {
    {"SIZE", Key::Size, 1, false},
    {"BASECOL", Key::BaseColour, 3, true},
    {"MIXMODE", Key::MixMode, 1, false},
    {"MORPHO", Key::Morpho, 4, true},
};

void reject(const std::string& path, int line, const std::string& problem, Messages& out)
{
    out.error(format_text("ERROR: %s: line %d: %s\n", path.c_str(), line, problem.c_str()), path, line);
}

}  // namespace

MorphogenSettings::Load MorphogenSettings::read(const std::string& path, Messages& out)
{
    std::string text, problem;
    if (!read_text_file(path, text, &problem)) {
        out.error(file_error_line("ERROR!!!", path, problem), path);
        return Load::Unreadable;
    }
    return read_text(text, path, out);
}

MorphogenSettings::Load MorphogenSettings::read_text(const std::string& text, const std::string& path, Messages& out)
{
    // Check everything before anything changes.
    std::vector<Setting> settings;
    Tokenizer tok(text);
    while (tok.read_token() != Tokenizer::TT_EOF) {
        if (tok.token_type != Tokenizer::TT_WORD) continue;
        const KeyForm* form = nullptr;
        for (const KeyForm& f : forms)
            if (tok.word_text == f.word) form = &f;
        if (!form) continue;
        Setting s{form->key, tok.line + 1, {0, 0, 0, 0}};
        for (int k = 0; k < form->count; ++k) {
            if (tok.read_token() != Tokenizer::TT_NUMBER) {
                reject(path, s.line,
                       std::string(form->word) + " needs " + std::to_string(form->count) +
                           (form->count == 1 ? " number" : " numbers"),
                       out);
                return Load::Malformed;
            }
            const double v = std::trunc(tok.number_value);
            const bool component = form->colour && k < 3;
            if (!(v >= (component ? 0.0 : -2147483647.0) && v <= (component ? 255.0 : 2147483647.0))) {
                reject(
                    path, s.line,
                    std::string(form->word) + (component ? " colour component outside 0..255" : " value out of range"),
                    out);
                return Load::Malformed;
            }
            s.value[k] = int(v);
        }
        settings.push_back(s);
    }
    // Anything can pass the keyword scan; a settings file has its count.
    bool counted = false;
    for (const Setting& s : settings) counted = counted || s.key == Key::Size;
    if (!counted) {
        reject(path, 1, "no SIZE line: not a morphogen settings file; nothing changed", out);
        return Load::Malformed;
    }

    std::size_t counter = 0;
    for (const Setting& s : settings) {
        const int* v = s.value;
        switch (s.key) {
        case Key::Size:
            if (v[0] < 0 || std::size_t(v[0]) != names.size()) {
                reject(path, s.line,
                       "the file holds settings for " + std::to_string(v[0]) + " morphogens, the mesh has " +
                           std::to_string(names.size()) + "; load abandoned",
                       out);
                return Load::CountMismatch;
            }
            colours.assign(names.size(), Rgb{});
            toggles.assign(names.size(), 0);
            break;
        case Key::BaseColour: base_colour = Rgb{(unsigned char)v[0], (unsigned char)v[1], (unsigned char)v[2]}; break;
        case Key::MixMode: mix_mode = v[0]; break;
        case Key::Morpho:
            if (counter < colours.size() && counter < toggles.size()) {
                colours[counter] = Rgb{(unsigned char)v[0], (unsigned char)v[1], (unsigned char)v[2]};
                toggles[counter] = v[3];
            }
            ++counter;
            break;
        }
    }
    return Load::Loaded;
}
