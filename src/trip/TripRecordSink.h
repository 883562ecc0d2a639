#pragma once

struct TripRecord;

// Where a finished trip goes: the trip log. Whether it took the record is the caller's to
// know, not to act on: the trip totals are cleared either way.
class TripRecordSink
{
public:
    virtual ~TripRecordSink() = default;
    virtual bool append(const TripRecord& record) = 0;
};
