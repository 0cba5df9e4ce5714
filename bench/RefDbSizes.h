#pragma once

// How many rows of each kind the reference database of a scale holds. The catalogue (workers and
// services) stays the same size at every scale, as a small shop still has a whole price list.
struct RefDbSizes {
    int orders = 0;
    int lines = 0;
    int lineWorkers = 0;
    int payments = 0;
    int clients = 0;
    int cars = 0;
    int workers = 0;
    int services = 0;

    // 1.0 is ten years of a busy shop.
    static RefDbSizes ForScale(double scale);
};

// What a generation actually wrote (the line, worker and payment counts land near their targets).
struct RefDbCounts {
    int orders = 0, lines = 0, lineWorkers = 0, payments = 0, clients = 0, cars = 0, links = 0;
    int workers = 0, services = 0, salaryRows = 0;
    int lastOrderNumber = 0, lastPayNumber = 0, lastOutPayNumber = 0, lastSalaryNumber = 0;
    // Tyre storage: its places, the live sets ever taken in, those kept at the end, and the sets turned
    // away because every place was taken.
    int places = 0, tyreSets = 0, tyresKept = 0, tyresTurnedAway = 0;
};
