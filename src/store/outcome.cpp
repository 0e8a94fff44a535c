#include "store/outcome.h"

namespace quarvel::store {

std::string Outcome::text() const {
    if (detail.empty()) return sentence;
    return sentence + "（" + detail + "）";
}

Outcome Outcome::refused(std::string sentence, std::string title) {
    Outcome o;
    o.kind = OutcomeKind::Refused;
    o.sentence = std::move(sentence);
    o.title = std::move(title);
    return o;
}

Outcome Outcome::stale(std::string sentence) {
    Outcome o;
    o.kind = OutcomeKind::Stale;
    o.sentence = std::move(sentence);
    return o;
}

Outcome Outcome::failed(std::string sentence, std::string detail, DbFault fault) {
    Outcome o;
    o.kind = OutcomeKind::Failed;
    o.sentence = std::move(sentence);
    o.detail = std::move(detail);
    o.fault = fault;
    return o;
}

Outcome Outcome::failed(const std::exception& e) {
    if (const auto* db = dynamic_cast<const DbError*>(&e))
        return failed(faultSentence(db->fault()), db->what(), db->fault());
    if (const auto* d = dynamic_cast<const DetailedError*>(&e))
        return failed(d->what(), d->detail());
    return failed(e.what());
}

}  // namespace quarvel::store
