// Tesseract backend of Recognizer, used everywhere but macOS.
#include <array>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <leptonica/allheaders.h>
#include <tesseract/baseapi.h>
#include <tesseract/ocrclass.h>
#include <tesseract/resultiterator.h>

#include "engines.h"
#include "grey_image.h"
#include "one_time_set_up.h"
#include "recognizer.h"
#include "tessdata.h"
#include "tesseract_line.h"
#include "user_words_file.h"

namespace lumascan {
namespace {

constexpr const char* languages = "chi_sim+eng";
constexpr std::array<std::string_view, 2> languageFiles{"chi_sim", "eng"};
constexpr int deadlineMs = 3000;

constexpr std::array<std::pair<const char*, const char*>, 3> presetVariables{{
    // Sauvola thresholds each pixel against its neighbourhood, so text keeps
    // its contrast on every bubble and panel of a screenshot; k = 0.2 is the
    // usual choice and keeps light-grey captions.
    {"thresholding_method", "2"},
    {"thresholding_kfactor", "0.2"},
    // Screen text is dark on light here; reading each doubtful line a second
    // time inverted never wins and costs a twentieth of the recognition.
    {"tessedit_do_invert", "0"},
}};

// Without the word lists in the traineddata: they "correct" what is on
// screen into common words and punctuation (a period appended after "PM"),
// and screen text is no prose. (load_system_dawg and its kin do not reach
// the LSTM recogniser; not loading its dictionary at all does.) The host's
// custom words reach Tesseract only through that dictionary, so with custom
// words it is loaded, word lists and all.
constexpr std::pair<const char*, const char*> noDictionary{"lstm_use_matrix", "0"};

std::filesystem::path tessdataDir() {
    static const std::array<std::filesystem::path, 3> debian{
        "/usr/share/tesseract-ocr/5/tessdata",
        "/usr/share/tesseract-ocr/4.00/tessdata",
        "/usr/share/tessdata",
    };
    return findTessdata(std::getenv("TESSDATA_PREFIX"), debian, languageFiles);
}

class TesseractEngine final : public Recognizer {
public:
    explicit TesseractEngine(std::vector<std::string> customWords)
        : customWords_(std::move(customWords)) {
        setMsgSeverity(L_SEVERITY_NONE);
        api_.SetVariable("debug_file", "/dev/null");
    }

    std::vector<TextLine> recognize(std::span<const std::byte> encoded) override {
        const PixPtr grey = decodeGrey(encoded);
        if (!grey || !setUp_.done([this] { return init(); })) return {};
        api_.SetImage(grey.get());
        tesseract::ETEXT_DESC monitor;
        monitor.set_deadline_msecs(deadlineMs);
        std::vector<TextLine> lines;
        if (api_.Recognize(&monitor) == 0) lines = collectLines();
        api_.Clear();
        return lines;
    }

private:
    // Init is costly, so it is done once; the user words are read during it.
    bool init() {
        const auto data = tessdataDir();
        if (data.empty()) return false;
        std::vector<std::string> names, values;
        for (const auto& [name, value] : presetVariables) {
            names.emplace_back(name);
            values.emplace_back(value);
        }
        const UserWordsFile words(customWords_);
        if (!words.path().empty()) {
            names.emplace_back("user_words_file");
            values.push_back(words.path());
        } else {
            names.emplace_back(noDictionary.first);
            values.emplace_back(noDictionary.second);
        }
        if (api_.Init(data.c_str(), languages, tesseract::OEM_LSTM_ONLY, nullptr, 0, &names,
                      &values, false) != 0) {
            return false;
        }
        api_.SetPageSegMode(tesseract::PSM_SPARSE_TEXT);
        return true;
    }

    std::vector<TextLine> collectLines() {
        std::vector<TextLine> lines;
        const std::unique_ptr<tesseract::ResultIterator> it(api_.GetIterator());
        if (!it) return lines;
        constexpr auto level = tesseract::RIL_TEXTLINE;
        do {
            if (it->Empty(level)) continue;
            const std::unique_ptr<char[]> text(it->GetUTF8Text(level));
            int left = 0, top = 0, right = 0, bottom = 0;
            if (!text || !it->BoundingBox(level, &left, &top, &right, &bottom)) continue;
            if (auto line = makeTextLine(text.get(), it->Confidence(level), left, top, right,
                                         bottom)) {
                lines.push_back(std::move(*line));
            }
        } while (it->Next(level));
        return lines;
    }

    std::vector<std::string> customWords_;
    tesseract::TessBaseAPI api_;
    OneTimeSetUp setUp_;  // loading the models, at the first decodable image
};

}  // namespace

std::unique_ptr<Recognizer> makeTesseractRecognizer(std::vector<std::string> customWords) {
    return std::make_unique<TesseractEngine>(std::move(customWords));
}

}  // namespace lumascan
