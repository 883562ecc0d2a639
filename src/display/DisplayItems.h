#pragma once

// Every display item the window shows, defined once. Each row:
//   X(Name, Kind, initial text, minimum, maximum, initial value, initially visible)
// Kinds: Label (text), Gauge (value clamped to [minimum, maximum]), Dial (a gauge with a
// caption text, initially the text column), Lamp (lit or dark), Picture (shown or hidden),
// Choice (a selected item index), Check (checked or not), Edit (the tank edit, 0..100 with
// two decimals), Group (a container that is shown or hidden).
// The texts are the window's own; the statistics and export code read them back.
#define TACHORA_DISPLAY_ITEMS(X)                                                                   \
    /* main page */                                                                                \
    X(LabelDistance, Label, "0.0", 0, 0, 0, true)                                                  \
    X(Label13, Label, "Пробег, км", 0, 0, 0, true)                                                 \
    X(LabelTopl, Label, "0.00", 0, 0, 0, true)                                                     \
    X(Label15, Label, "Расход топлива, л", 0, 0, 0, true)                                          \
    X(LabelRashod, Label, "0.0", 0, 0, 0, true)                                                    \
    X(Label16, Label, "Ср. расход, л/100км", 0, 0, 0, true)                                        \
    X(GaugeRPM, Dial, "0", 0, 7000, 0, true)                                                       \
    X(LabelSpeed, Label, "0", 0, 0, 0, true)                                                       \
    X(Label21, Label, "км/ч", 0, 0, 0, true)                                                       \
    X(Label17, Label, "Обороты, скорость", 0, 0, 0, true)                                          \
    X(GaugeMPG, Gauge, "", 0, 100, 1, true)                                                        \
    X(Label6, Label, "100", 0, 0, 0, true)                                                         \
    X(Label14, Label, "80", 0, 0, 0, true)                                                         \
    X(Label12, Label, "60", 0, 0, 0, true)                                                         \
    X(Label1, Label, "30", 0, 0, 0, true)                                                          \
    X(Label5, Label, "20", 0, 0, 0, true)                                                          \
    X(Label4, Label, "10", 0, 0, 0, true)                                                          \
    X(Label2, Label, "0", 0, 0, 0, true)                                                           \
    X(LabelFuel, Label, "0.00", 0, 0, 0, true)                                                     \
    X(Label18, Label, "Мгн. расход", 0, 0, 0, true)                                                \
    X(ProgressBarFuel, Gauge, "", 0, 100, 1, true)                                                 \
    X(Label11, Label, "100", 0, 0, 0, true)                                                        \
    X(Label10, Label, "75", 0, 0, 0, true)                                                         \
    X(Label9, Label, "50", 0, 0, 0, true)                                                          \
    X(Label8, Label, "25", 0, 0, 0, true)                                                          \
    X(Label7, Label, "0", 0, 0, 0, true)                                                           \
    X(LabelTank, Label, "0", 0, 0, 0, true)                                                        \
    X(Label19, Label, "Топл. бак,%", 0, 0, 0, true)                                                \
    X(ThermometerEng, Gauge, "", 0, 120, 1, true)                                                  \
    X(LabelTempEng, Label, "0", 0, 0, 0, true)                                                     \
    X(Label20, Label, "Т двиг, С", 0, 0, 0, true)                                                  \
    X(LabelSpeedSrOut, Label, "LabelSpeedSrOut", 0, 0, 0, false)                                   \
    X(LabelSpeedMaxOut, Label, "LabelSpeedSrOut", 0, 0, 0, false)                                  \
    /* navigation bar: normal and highlighted pictures of the five places */                       \
    X(Image7, Picture, "", 0, 0, 0, false)                                                         \
    X(Image12, Picture, "", 0, 0, 0, true)                                                         \
    X(Image6, Picture, "", 0, 0, 0, true)                                                          \
    X(Image11, Picture, "", 0, 0, 0, false)                                                        \
    X(Image5, Picture, "", 0, 0, 0, true)                                                          \
    X(Image10, Picture, "", 0, 0, 0, false)                                                        \
    X(Image4, Picture, "", 0, 0, 0, true)                                                          \
    X(Image9, Picture, "", 0, 0, 0, false)                                                         \
    X(Image3, Picture, "", 0, 0, 0, true)                                                          \
    X(Image8, Picture, "", 0, 0, 0, false)                                                         \
    /* lamps */                                                                                    \
    X(ImagePort, Lamp, "", 0, 0, 0, true)                                                          \
    X(ImageAdapter, Lamp, "", 0, 0, 0, true)                                                       \
    X(ImageECU, Lamp, "", 0, 0, 0, true)                                                           \
    /* page control: the active page index 0..4 */                                                 \
    X(sPageControl1, Choice, "", 0, 4, 0, true)                                                    \
    /* sensors page */                                                                             \
    X(GaugeAirMPG, Gauge, "", 0, 50, 0, true)                                                      \
    X(MPGLabel, Label, "0.0", 0, 0, 0, true)                                                       \
    X(Label28, Label, "гр/сек", 0, 0, 0, true)                                                     \
    X(Label22, Label, "Расх воздуха", 0, 0, 0, true)                                               \
    X(GaugeMPG1, Gauge, "", 0, 10, 0, true)                                                        \
    X(MPG1, Label, "0.0", 0, 0, 0, true)                                                           \
    X(Label29, Label, "л/час", 0, 0, 0, true)                                                      \
    X(Label23, Label, "Уд. расход", 0, 0, 0, true)                                                 \
    X(ThermometerTempEng1, Gauge, "", 0, 120, 0, true)                                             \
    X(LabelTempEng1, Label, "0", 0, 0, 0, true)                                                    \
    X(Label33, Label, "гр.С", 0, 0, 0, true)                                                       \
    X(Label24, Label, "Темп. двиг.", 0, 0, 0, true)                                                \
    X(GaugeNapr, Gauge, "", 10, 15, 10, true)                                                      \
    X(LabelNapr, Label, "0.0", 0, 0, 0, true)                                                      \
    X(Label32, Label, "В", 0, 0, 0, true)                                                          \
    X(Label25, Label, "Напряжение", 0, 0, 0, true)                                                 \
    X(GaugePressure, Gauge, "", 0, 100, 0, true)                                                   \
    X(Pressure, Label, "0", 0, 0, 0, true)                                                         \
    X(Label31, Label, "kPa", 0, 0, 0, true)                                                        \
    X(Label26, Label, "Давл. впуск", 0, 0, 0, true)                                                \
    X(ThermometerAirTemp, Gauge, "", 0, 120, 0, true)                                              \
    X(airTemp, Label, "0", 0, 0, 0, true)                                                          \
    X(Label34, Label, "гр.С", 0, 0, 0, true)                                                       \
    X(Label27, Label, "Темп.впуска", 0, 0, 0, true)                                                \
    X(LabelRPM, Label, "LabelRPM", 0, 0, 0, true)                                                  \
    /* trip statistics page */                                                                     \
    X(LabelRezult, Label, "Текущая поездка", 0, 0, 0, true)                                        \
    X(LabelTime, Label, "00:00:00", 0, 0, 0, true)                                                 \
    X(Label39, Label, "Продолжительность соед.", 0, 0, 0, true)                                    \
    X(LabelDistance2, Label, "0.0", 0, 0, 0, true)                                                 \
    X(Label38, Label, "Пробег", 0, 0, 0, true)                                                     \
    X(LabelTopl2, Label, "0.0", 0, 0, 0, true)                                                     \
    X(Label37, Label, "Топливо", 0, 0, 0, true)                                                    \
    X(LabelRashod2, Label, "0.0", 0, 0, 0, true)                                                   \
    X(Label36, Label, "Ср. расход", 0, 0, 0, true)                                                 \
    X(LabelSpeedSr, Label, "0.0", 0, 0, 0, true)                                                   \
    X(Label35, Label, "Ср. скорость", 0, 0, 0, true)                                               \
    X(LabelSpeedMax, Label, "0.0", 0, 0, 0, true)                                                  \
    X(Label40, Label, "Макс. скорость", 0, 0, 0, true)                                             \
    X(RadioGroup1, Choice, "Фильтр", 0, 3, 0, true)                                                \
    /* settings page */                                                                            \
    X(Label47, Label, "Порт:", 0, 0, 0, true)                                                      \
    X(Label48, Label, "Скорость:", 0, 0, 0, true)                                                  \
    X(Label49, Label, "Протокол:", 0, 0, 0, true)                                                  \
    X(GroupBoxMAP, Group, "MAP", 0, 0, 0, true)                                                    \
    X(RxLabel9, Label, "Коэфф.:", 0, 0, 0, true)                                                   \
    X(RxLabel10, Label, "Объем дв.:", 0, 0, 0, true)                                               \
    X(Label52, Label, "Емкость бака, л:", 0, 0, 0, true)                                           \
    X(Label51, Label, "Коэфф. скорости:", 0, 0, 0, true)                                           \
    X(Label50, Label, "Прогрев, л:", 0, 0, 0, true)                                                \
    X(CheckBoxImitation, Check, "Имитация", 0, 0, 0, true)                                         \
    X(Label3, Label, "       ", 0, 0, 0, true)                                                     \
    /* fuel page */                                                                                \
    X(Label53, Label, "Топливо в баке, л", 0, 0, 0, true)                                          \
    X(EditTank, Edit, "0.00", 0, 100, 0, true)                                                     \
    X(Label42, Label, "Прогноз хода", 0, 0, 0, true)                                               \
    X(DistPred, Label, "--", 0, 0, 0, true)                                                        \
    X(Label43, Label, "км", 0, 0, 0, true)
