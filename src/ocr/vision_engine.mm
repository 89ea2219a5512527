// The macOS engine: Vision's text recognition with fixed settings, Chinese
// (Simplified) first, then US English, the accurate level, no language
// correction, and the caller's vocabulary as custom words (which Vision
// documents it ignores without language correction: they are passed on
// unchanged, and have no effect).
#import <AppKit/AppKit.h>
#import <Vision/Vision.h>

#include <memory>
#include <mutex>
#include <utility>

#include "geometry.h"
#include "recognizer.h"

namespace lumascan {
namespace {

// How long to wait for the completion handler after the request was performed.
constexpr int64_t waitNanoseconds = 3 * NSEC_PER_SEC;

// What the completion handler hands to the reader. The handler may run on a
// thread of the framework, and late, after the reader gave up waiting.
struct Results {
    std::mutex lock;
    std::vector<TextLine> lines;
};

std::string utf8(NSString* text) {
    const char* bytes = text.UTF8String;
    return bytes ? std::string(bytes) : std::string();
}

// Nothing unless every result is a recognised-text observation.
std::vector<TextLine> linesOf(NSArray* observations, double width, double height) {
    std::vector<TextLine> lines;
    for (id observation in observations) {
        if (![observation isKindOfClass:[VNRecognizedTextObservation class]]) return {};
    }
    for (VNRecognizedTextObservation* observation in observations) {
        VNRecognizedText* top = [observation topCandidates:1].firstObject;
        if (!top) continue;
        const CGRect box = observation.boundingBox;
        lines.push_back(TextLine{utf8(top.string), top.confidence,
                                 quadFromNormalized(CGRectGetMinX(box), CGRectGetMaxX(box), CGRectGetMinY(box),
                                                    CGRectGetMaxY(box), width, height)});
    }
    return lines;
}

NSArray<NSString*>* nsStrings(const std::vector<std::string>& texts) {
    NSMutableArray<NSString*>* strings = [NSMutableArray arrayWithCapacity:texts.size()];
    for (const std::string& text : texts) {
        NSString* string = [[NSString alloc] initWithBytes:text.data() length:text.size() encoding:NSUTF8StringEncoding];
        if (string) [strings addObject:string];  // the vocabulary reader already refuses invalid UTF-8
    }
    return strings;
}

class VisionRecognizer final : public Recognizer {
public:
    explicit VisionRecognizer(std::vector<std::string> customWords) : customWords_(std::move(customWords)) {}

    std::vector<TextLine> recognize(std::span<const std::byte> encoded) override {
        @autoreleasepool {
            NSData* data = [NSData dataWithBytes:encoded.data() length:encoded.size()];
            NSImage* image = [[NSImage alloc] initWithData:data];
            CGImageRef bitmap = [image CGImageForProposedRect:nullptr context:nil hints:nil];
            if (!bitmap) return {};
            const double width = static_cast<double>(CGImageGetWidth(bitmap));
            const double height = static_cast<double>(CGImageGetHeight(bitmap));

            auto results = std::make_shared<Results>();
            dispatch_semaphore_t done = dispatch_semaphore_create(0);
            VNRecognizeTextRequest* request =
                [[VNRecognizeTextRequest alloc] initWithCompletionHandler:^(VNRequest* finished, NSError* error) {
                  std::vector<TextLine> lines;
                  if (!error) lines = linesOf(finished.results, width, height);
                  {
                      const std::lock_guard<std::mutex> guard(results->lock);
                      results->lines = std::move(lines);
                  }
                  dispatch_semaphore_signal(done);
                }];
            request.recognitionLanguages = @[ @"zh-Hans", @"en-US" ];
            request.recognitionLevel = VNRequestTextRecognitionLevelAccurate;
            request.usesLanguageCorrection = NO;
            if (!customWords_.empty()) request.customWords = nsStrings(customWords_);

            VNImageRequestHandler* handler = [[VNImageRequestHandler alloc] initWithCGImage:bitmap options:@{}];
            // A failure to perform shows as no results; the handler still reports it.
            [handler performRequests:@[ request ] error:nil];
            dispatch_semaphore_wait(done, dispatch_time(DISPATCH_TIME_NOW, waitNanoseconds));

            const std::lock_guard<std::mutex> guard(results->lock);
            return results->lines;
        }
    }

private:
    std::vector<std::string> customWords_;
};

}  // namespace

std::unique_ptr<Recognizer> makeRecognizer(std::vector<std::string> customWords) {
    return std::make_unique<VisionRecognizer>(std::move(customWords));
}

}  // namespace lumascan
