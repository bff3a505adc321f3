<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru" sourcelanguage="en">
<context>
    <name>MainWindow</name>
    <message>
        <source>KV962</source>
        <translation>KV962</translation>
    </message>
    <message>
        <source>LFA</source>
        <translation>НЧ</translation>
    </message>
    <message>
        <source>WRx</source>
        <translation>Приём</translation>
    </message>
    <message>
        <source>NLJD</source>
        <translation>НЛ</translation>
    </message>
    <message>
        <source>2nd</source>
        <translation>2-я</translation>
    </message>
    <message>
        <source>3rd</source>
        <translation>3-я</translation>
    </message>
    <message>
        <source>Harmonics</source>
        <translation>Гармоники</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Уров.</translation>
    </message>
    <message>
        <source>  Save data</source>
        <translation>  Сохранить</translation>
    </message>
    <message>
        <source>Compare mode</source>
        <translation>Сравнение</translation>
    </message>
    <message>
        <source>Current file:</source>
        <translation>Текущий файл:</translation>
    </message>
    <message>
        <source>REFL</source>
        <translation>Рефл.</translation>
    </message>
    <message>
        <source> Set 1 </source>
        <translation> Замер 1 </translation>
    </message>
    <message>
        <source>No.</source>
        <translation>№</translation>
    </message>
    <message>
        <source>Distance</source>
        <translation>Расст.</translation>
    </message>
    <message>
        <source>Factor:</source>
        <translation>КУ:</translation>
    </message>
    <message>
        <source>1.5</source>
        <translation>1.5</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Задать</translation>
    </message>
    <message>
        <source>  Test</source>
        <translation>  Пуск</translation>
    </message>
    <message>
        <source> Set 2 </source>
        <translation> Замер 2 </translation>
    </message>
    <message>
        <source>Set 1</source>
        <translation>№ 1</translation>
    </message>
    <message>
        <source>Set 2</source>
        <translation>№ 2</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Отчёт</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Прошивка</translation>
    </message>
    <message>
        <source>Current firmware version:</source>
        <translation>Версия прошивки:</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>Select Firmware File:</source>
        <translation>Файл прошивки:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Обзор...</translation>
    </message>
    <message>
        <source> English</source>
        <translation> English</translation>
    </message>
    <message>
        <source> Russian</source>
        <translation> Русский</translation>
    </message>
    <message>
        <source>Switch:</source>
        <translation>Жилы:</translation>
    </message>
    <message>
        <source> Scan</source>
        <translation> Обход</translation>
    </message>
    <message>
        <source> Clear data</source>
        <translation> Сброс</translation>
    </message>
    <message>
        <source> Add to report</source>
        <translation> В отчёт</translation>
    </message>
    <message>
        <source>Reports:</source>
        <translation>Отчёты:</translation>
    </message>
    <message>
        <source>Screens:</source>
        <translation>Экраны:</translation>
    </message>
    <message>
        <source>OSC</source>
        <translation>Осц.</translation>
    </message>
    <message>
        <source>SPEC</source>
        <translation>Спектр</translation>
    </message>
    <message>
        <source>Switch</source>
        <translation>Пары</translation>
    </message>
    <message>
        <source>Tabs:</source>
        <translation>Таблицы:</translation>
    </message>
    <message>
        <source>Add to Report</source>
        <translation>В отчёт</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Signal table</source>
        <translation>Сигналы</translation>
    </message>
    <message>
        <source>All pairs</source>
        <translation>Все пары</translation>
    </message>
    <message>
        <source>Graph</source>
        <translation>График</translation>
    </message>
    <message>
        <source>Defects table</source>
        <translation>Дефекты</translation>
    </message>
    <message>
        <source>Compare data</source>
        <translation>Сравнение</translation>
    </message>
    <message>
        <source>Сomment:</source>
        <translation>Заметка:</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>KV847: no connection!</source>
        <translation>KV847: нет связи!</translation>
    </message>
    <message>
        <source>KV847: request to connect...</source>
        <translation>KV847: запрос связи...</translation>
    </message>
    <message>
        <source>KV847: connected</source>
        <translation>KV847: подключено</translation>
    </message>
    <message>
        <source>KV847: no response!</source>
        <translation>KV847: нет ответа!</translation>
    </message>
    <message>
        <source>KV847: connection error!</source>
        <translation>KV847: ошибка связи!</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Сохранить файл</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Could not open file</source>
        <translation>Не удалось открыть файл</translation>
    </message>
    <message>
        <source>Could not save file</source>
        <translation>Не удалось сохранить файл</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Открыть файл</translation>
    </message>
    <message>
        <source>PAIR</source>
        <translation>Пара</translation>
    </message>
    <message>
        <source>KV847 NLJD data (*.nljd)</source>
        <translation>Данные НЛ KV847 (*.nljd)</translation>
    </message>
    <message>
        <source>This is not a NLJD data file for KV847!</source>
        <translation>Это не файл данных НЛ KV847!</translation>
    </message>
    <message>
        <source>Current file: </source>
        <translation>Текущий файл: </translation>
    </message>
    <message>
        <source>Attention!</source>
        <translation>Внимание!</translation>
    </message>
    <message>
        <source>Do you really want to clear ALL data?</source>
        <translation>Удалить ВСЕ данные измерений?</translation>
    </message>
    <message>
        <source>Measuring...</source>
        <translation>Измерение...</translation>
    </message>
    <message>
        <source>Do you really want to change Factor?</source>
        <translation>Изменить коэффициент укорочения (КУ)?</translation>
    </message>
    <message>
        <source>All reflectometer measurements will be reset!</source>
        <translation>Все измерения рефлектометра будут сброшены!</translation>
    </message>
    <message>
        <source>KV847 REFL data (*.refl)</source>
        <translation>Данные рефлектометра KV847 (*.refl)</translation>
    </message>
    <message>
        <source>This is not a REFL data file for KV847!</source>
        <translation>Это не файл данных рефлектометра KV847!</translation>
    </message>
    <message>
        <source>Current</source>
        <translation>Текущие</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Файл</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Да</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Vdc</source>
        <translation>U=</translation>
    </message>
    <message>
        <source>Vac</source>
        <translation>U~</translation>
    </message>
    <message>
        <source>Total signals</source>
        <translation>Всего</translation>
    </message>
    <message>
        <source>Unique signals</source>
        <translation>Разных</translation>
    </message>
    <message>
        <source>Level/Distance</source>
        <translation>Уровень/Расстояние</translation>
    </message>
    <message>
        <source>No data in the file for this pair!</source>
        <translation>В файле нет данных по этой паре!</translation>
    </message>
    <message>
        <source>No new measurements for this pair!</source>
        <translation>Нет новых измерений по этой паре!</translation>
    </message>
    <message>
        <source>Different levels of the probing signal (in the file - </source>
        <translation>Разные уровни зондирующего сигнала (в файле - </translation>
    </message>
    <message>
        <source>Different levels of second harmonics!</source>
        <translation>Разные уровни 2-й гармоники!</translation>
    </message>
    <message>
        <source>Different levels of third harmonics!</source>
        <translation>Разные уровни 3-й гармоники!</translation>
    </message>
    <message>
        <source>Different levels of second and third harmonics!</source>
        <translation>Разные уровни 2-й и 3-й гармоник!</translation>
    </message>
    <message>
        <source>In the file - more than 3v. In the current data - no.</source>
        <translation>В файле - более 3 В. В текущих данных - нет.</translation>
    </message>
    <message>
        <source>In the current data - more than 3v. In the file - no.</source>
        <translation>В текущих данных - более 3 В. В файле - нет.</translation>
    </message>
    <message>
        <source>In the file - the noise. In the current data - no.</source>
        <translation>В файле - шум. В текущих данных - нет.</translation>
    </message>
    <message>
        <source>In the current data - the noise. In the file - no.</source>
        <translation>В текущих данных - шум. В файле - нет.</translation>
    </message>
    <message>
        <source>In the file - the noise. In the current data - more than 3v.</source>
        <translation>В файле - шум. В текущих данных - более 3 В.</translation>
    </message>
    <message>
        <source>In the file - more than 3v. In the current data - the noise.</source>
        <translation>В файле - более 3 В. В текущих данных - шум.</translation>
    </message>
    <message>
        <source>In the file - no defects. In the current data - is.</source>
        <translation>В файле дефектов нет. В текущих данных - есть.</translation>
    </message>
    <message>
        <source>In the file - no defects. In the current data - the noise.</source>
        <translation>В файле дефектов нет. В текущих данных - шум.</translation>
    </message>
    <message>
        <source>In the file - no defects. In the current data - more than 3v.</source>
        <translation>В файле дефектов нет. В текущих данных - более 3 В.</translation>
    </message>
    <message>
        <source>In the file - the noise. In the current data - no defects.</source>
        <translation>В файле - шум. В текущих данных дефектов нет.</translation>
    </message>
    <message>
        <source>In the file - more than 3v. In the current data - no defects.</source>
        <translation>В файле - более 3 В. В текущих данных дефектов нет.</translation>
    </message>
    <message>
        <source>In the file - there are defects. In the current data - no defects.</source>
        <translation>В файле дефекты есть. В текущих данных дефектов нет.</translation>
    </message>
    <message>
        <source>Different tables of defects!</source>
        <translation>Таблицы дефектов различаются!</translation>
    </message>
    <message>
        <source>Big differences in the graphs!</source>
        <translation>Рефлектограммы сильно различаются!</translation>
    </message>
    <message>
        <source>The current factor</source>
        <translation>Текущий КУ</translation>
    </message>
    <message>
        <source>does not match the factor from the file</source>
        <translation>не совпадает с КУ из файла</translation>
    </message>
    <message>
        <source>No pair selected!</source>
        <translation>Пара не выбрана!</translation>
    </message>
    <message>
        <source>No data</source>
        <translation>Нет данных</translation>
    </message>
    <message>
        <source>No defects!</source>
        <translation>Нет дефектов!</translation>
    </message>
    <message>
        <source>Noise!</source>
        <translation>Шум!</translation>
    </message>
    <message>
        <source>&gt;3v!!!</source>
        <translation>&gt;3 В!!!</translation>
    </message>
    <message>
        <source> Set 1 (</source>
        <translation> Замер 1 (</translation>
    </message>
    <message>
        <source> Set 2 (</source>
        <translation> Замер 2 (</translation>
    </message>
    <message>
        <source> Current data (</source>
        <translation> Текущие данные (</translation>
    </message>
    <message>
        <source> From file (</source>
        <translation> Из файла (</translation>
    </message>
    <message>
        <source> files)</source>
        <translation> шт.)</translation>
    </message>
    <message>
        <source>LFA data</source>
        <translation>Данные НЧ</translation>
    </message>
    <message>
        <source>WRx data</source>
        <translation>Данные приёмника</translation>
    </message>
    <message>
        <source>NLJD data</source>
        <translation>Данные НЛ</translation>
    </message>
    <message>
        <source>REFL data</source>
        <translation>Данные рефлектометра</translation>
    </message>
    <message>
        <source>Do you really want to delete this file?</source>
        <translation>Удалить этот файл?</translation>
    </message>
    <message>
        <source>Save Error</source>
        <translation>Ошибка сохранения</translation>
    </message>
    <message>
        <source>The image could not be saved to &quot;%1&quot;.</source>
        <translation>Не удалось сохранить изображение в &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>The table could not be saved to &quot;%1&quot;.</source>
        <translation>Не удалось сохранить таблицу в &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>The analyser is connected at %1, but this user may not open it.

Serial ports belong to the group &quot;dialout&quot;. Add your user to it, for example with the command
    sudo usermod -aG dialout $USER
then log out and log in again.</source>
        <translation>Анализатор подключён к %1, но у этого пользователя нет права открыть порт.

Последовательные порты принадлежат группе &quot;dialout&quot;. Добавьте в неё своего пользователя, например командой
    sudo usermod -aG dialout $USER
и войдите в систему заново.</translation>
    </message>
    <message>
        <source>The analyser is connected at %1, but another program is using this port.

Close the other program (a terminal program or a second KV847 window); the connection is then made by itself.</source>
        <translation>Анализатор подключён к %1, но порт занят другой программой.

Закройте её (программу-терминал или второе окно KV847); связь установится сама.</translation>
    </message>
    <message>
        <source>System message: %1</source>
        <translation>Системное сообщение: %1</translation>
    </message>
    <message>
        <source>KV847 firmware (*.bin)</source>
        <translation>Прошивка KV847 (*.bin)</translation>
    </message>
    <message>
        <source>This file is not a firmware for KV847!</source>
        <translation>Этот файл не является прошивкой KV847!</translation>
    </message>
    <message>
        <source>An error occurred during the update!
Run the update again!</source>
        <translation>Ошибка при обновлении прошивки!
Запустите обновление ещё раз!</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Информация</translation>
    </message>
    <message>
        <source>Update done!</source>
        <translation>Прошивка обновлена!</translation>
    </message>
</context>
<context>
    <name>NLD</name>
    <message>
        <source>&gt;3v!!!</source>
        <translation>&gt;3 В!!!</translation>
    </message>
    <message>
        <source>Measuring...</source>
        <translation>Измерение...</translation>
    </message>
    <message>
        <source>Noise!</source>
        <translation>Шум!</translation>
    </message>
    <message>
        <source>No defects!</source>
        <translation>Нет дефектов!</translation>
    </message>
</context>
<context>
    <name>OSC</name>
    <message>
        <source>Vpp: %d mV </source>
        <translation>Размах: %d mV </translation>
    </message>
    <message>
        <source>Vpp: %.1f V </source>
        <translation>Размах: %.1f V </translation>
    </message>
    <message>
        <source>Vpp: %d uV </source>
        <translation>Размах: %d uV </translation>
    </message>
    <message>
        <source>Oscilloscope:</source>
        <translation>Осциллограф:</translation>
    </message>
    <message>
        <source>Vpp: 0.0v </source>
        <translation>Размах: 0.0v </translation>
    </message>
    <message>
        <source>Spectrum:</source>
        <translation>Спектр:</translation>
    </message>
    <message>
        <source>10ms</source>
        <translation>10ms</translation>
    </message>
    <message>
        <source>5ms</source>
        <translation>5ms</translation>
    </message>
    <message>
        <source>2ms</source>
        <translation>2ms</translation>
    </message>
    <message>
        <source>1ms</source>
        <translation>1ms</translation>
    </message>
    <message>
        <source>500us</source>
        <translation>500us</translation>
    </message>
    <message>
        <source>200us</source>
        <translation>200us</translation>
    </message>
    <message>
        <source>100us</source>
        <translation>100us</translation>
    </message>
    <message>
        <source>0dB</source>
        <translation>0dB</translation>
    </message>
    <message>
        <source>5dB</source>
        <translation>5dB</translation>
    </message>
    <message>
        <source>10dB</source>
        <translation>10dB</translation>
    </message>
    <message>
        <source>20dB</source>
        <translation>20dB</translation>
    </message>
    <message>
        <source>30dB</source>
        <translation>30dB</translation>
    </message>
    <message>
        <source>40dB</source>
        <translation>40dB</translation>
    </message>
    <message>
        <source>50dB</source>
        <translation>50dB</translation>
    </message>
    <message>
        <source>60dB</source>
        <translation>60dB</translation>
    </message>
    <message>
        <source>Time/div</source>
        <translation>Время/дел</translation>
    </message>
    <message>
        <source>V/div</source>
        <translation>В/дел</translation>
    </message>
    <message>
        <source>Gain</source>
        <translation>Усиление</translation>
    </message>
    <message>
        <source>Bias</source>
        <translation>Смещение</translation>
    </message>
    <message>
        <source>0V</source>
        <translation>0V</translation>
    </message>
    <message>
        <source>-5V</source>
        <translation>-5V</translation>
    </message>
    <message>
        <source>-10V</source>
        <translation>-10V</translation>
    </message>
    <message>
        <source>-15V</source>
        <translation>-15V</translation>
    </message>
    <message>
        <source>-20V</source>
        <translation>-20V</translation>
    </message>
    <message>
        <source>-26V</source>
        <translation>-26V</translation>
    </message>
    <message>
        <source>+5V</source>
        <translation>+5V</translation>
    </message>
    <message>
        <source>+10V</source>
        <translation>+10V</translation>
    </message>
    <message>
        <source>+15V</source>
        <translation>+15V</translation>
    </message>
    <message>
        <source>+20V</source>
        <translation>+20V</translation>
    </message>
    <message>
        <source>+26V</source>
        <translation>+26V</translation>
    </message>
    <message>
        <source>25dB</source>
        <translation>25dB</translation>
    </message>
    <message>
        <source>X</source>
        <translation>X</translation>
    </message>
</context>
<context>
    <name>RX</name>
    <message>
        <source>Spectrum:</source>
        <translation>Спектр:</translation>
    </message>
    <message>
        <source>Oscilloscope:</source>
        <translation>Осциллограф:</translation>
    </message>
    <message>
        <source>10ms</source>
        <translation>10ms</translation>
    </message>
    <message>
        <source>5ms</source>
        <translation>5ms</translation>
    </message>
    <message>
        <source>2ms</source>
        <translation>2ms</translation>
    </message>
    <message>
        <source>1ms</source>
        <translation>1ms</translation>
    </message>
    <message>
        <source>500us</source>
        <translation>500us</translation>
    </message>
    <message>
        <source>200us</source>
        <translation>200us</translation>
    </message>
    <message>
        <source>100us</source>
        <translation>100us</translation>
    </message>
    <message>
        <source>AM</source>
        <translation>АМ</translation>
    </message>
    <message>
        <source>FM</source>
        <translation>ЧМ</translation>
    </message>
    <message>
        <source>0.1 - 60 MHz</source>
        <translation>0.1 - 60 MHz</translation>
    </message>
    <message>
        <source>0.1 - 180 MHz</source>
        <translation>0.1 - 180 MHz</translation>
    </message>
    <message>
        <source>ATT</source>
        <translation>АТТ</translation>
    </message>
    <message>
        <source>x1</source>
        <translation>x1</translation>
    </message>
    <message>
        <source>x2</source>
        <translation>x2</translation>
    </message>
    <message>
        <source>x4</source>
        <translation>x4</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>200 kHz</source>
        <translation>200 kHz</translation>
    </message>
    <message>
        <source>100 kHz</source>
        <translation>100 kHz</translation>
    </message>
    <message>
        <source>50 kHz</source>
        <translation>50 kHz</translation>
    </message>
    <message>
        <source>Mains</source>
        <translation>Сеть</translation>
    </message>
    <message>
        <source>Gain</source>
        <translation>Усил.</translation>
    </message>
    <message>
        <source>Step</source>
        <translation>Шаг</translation>
    </message>
    <message>
        <source>Marker</source>
        <translation>Маркер</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Поиск</translation>
    </message>
    <message>
        <source>Diff</source>
        <translation>Диф.</translation>
    </message>
    <message>
        <source>600 kHz</source>
        <translation>600 kHz</translation>
    </message>
    <message>
        <source>Do you want to search again?</source>
        <translation>Повторить поиск?</translation>
    </message>
    <message>
        <source>Attention!</source>
        <translation>Внимание!</translation>
    </message>
    <message>
        <source>Nothing found!</source>
        <translation>Ничего не найдено!</translation>
    </message>
    <message>
        <source>Search not performed!</source>
        <translation>Поиск не выполнялся!</translation>
    </message>
    <message>
        <source>No.</source>
        <translation>№</translation>
    </message>
    <message>
        <source>Freq.</source>
        <translation>Част.</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Уров.</translation>
    </message>
    <message>
        <source>Total</source>
        <translation>Пар</translation>
    </message>
</context>
<context>
    <name>Report</name>
    <message>
        <source>Pair: </source>
        <translation>Пара: </translation>
    </message>
    <message>
        <source>Time/div: </source>
        <translation>Время/дел: </translation>
    </message>
    <message>
        <source>V/div: </source>
        <translation>В/дел: </translation>
    </message>
    <message>
        <source>Gain: </source>
        <translation>Усил.: </translation>
    </message>
    <message>
        <source>Bias: </source>
        <translation>Смещение: </translation>
    </message>
    <message>
        <source>Factor: </source>
        <translation>КУ: </translation>
    </message>
    <message>
        <source>Range: </source>
        <translation>Диапазон: </translation>
    </message>
    <message>
        <source>Step: </source>
        <translation>Шаг: </translation>
    </message>
    <message>
        <source>Diff: on</source>
        <translation>Диф.: вкл</translation>
    </message>
    <message>
        <source>Diff: off</source>
        <translation>Диф.: выкл</translation>
    </message>
    <message>
        <source>Freq: </source>
        <translation>Частота: </translation>
    </message>
    <message>
        <source>/div</source>
        <translation>/дел</translation>
    </message>
    <message>
        <source>Level: </source>
        <translation>Уровень: </translation>
    </message>
    <message>
        <source>No defects!</source>
        <translation>Нет дефектов!</translation>
    </message>
    <message>
        <source>Noise!</source>
        <translation>Шум!</translation>
    </message>
    <message>
        <source>&gt;3v!!!</source>
        <translation>&gt;3 В!!!</translation>
    </message>
    <message>
        <source>Factor:</source>
        <translation>КУ:</translation>
    </message>
    <message>
        <source>LFA: Switch table</source>
        <translation>НЧ: таблица пар</translation>
    </message>
    <message>
        <source>PAIR</source>
        <translation>Пара</translation>
    </message>
    <message>
        <source>Vdc</source>
        <translation>U=</translation>
    </message>
    <message>
        <source>Vac</source>
        <translation>U~</translation>
    </message>
    <message>
        <source>WRx: Switch table</source>
        <translation>Приём: таблица пар</translation>
    </message>
    <message>
        <source>Total signals</source>
        <translation>Всего сигналов</translation>
    </message>
    <message>
        <source>Unique signals</source>
        <translation>Разных сигналов</translation>
    </message>
    <message>
        <source>WRx: Signal table</source>
        <translation>Приём: таблица сигналов</translation>
    </message>
    <message>
        <source>No.</source>
        <translation>№</translation>
    </message>
    <message>
        <source>Freq.</source>
        <translation>Част.</translation>
    </message>
    <message>
        <source>Total</source>
        <translation>Всего</translation>
    </message>
    <message>
        <source>Nothing found!</source>
        <translation>Ничего не найдено!</translation>
    </message>
    <message>
        <source>Search not performed!</source>
        <translation>Поиск не выполнялся!</translation>
    </message>
    <message>
        <source>REFL: Defects table</source>
        <translation>Рефл: таблица дефектов</translation>
    </message>
    <message>
        <source>No data</source>
        <translation>Нет данных</translation>
    </message>
    <message>
        <source>REFL: Comparison on pair </source>
        <translation>Рефл: сравнение по паре </translation>
    </message>
    <message>
        <source>Current data (</source>
        <translation>Текущие данные (</translation>
    </message>
    <message>
        <source> From file (</source>
        <translation> Из файла (</translation>
    </message>
    <message>
        <source>Level</source>
        <comment>в excel</comment>
        <translation>Уровень</translation>
    </message>
    <message>
        <source>Distance</source>
        <comment>в excel</comment>
        <translation>Расстояние</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Desktop companion of the KV847 cable pair analyser.</source>
        <translation>Программа для анализатора кабельных пар KV847.</translation>
    </message>
    <message>
        <source>Run on the built-in virtual analyser.</source>
        <translation>Работать со встроенным виртуальным анализатором.</translation>
    </message>
    <message>
        <source>Use this serial device instead of looking for the analyser&apos;s FTDI bridge.</source>
        <translation>Использовать этот последовательный порт вместо поиска моста FTDI анализатора.</translation>
    </message>
    <message>
        <source>device</source>
        <translation>порт</translation>
    </message>
    <message>
        <source>--demo and --port exclude each other.</source>
        <translation>--demo и --port нельзя указывать вместе.</translation>
    </message>
    <message>
        <source>--port needs a device.</source>
        <translation>Для --port нужно указать порт.</translation>
    </message>
    <message>
        <source>Work in this folder (reports, files); made when missing.</source>
        <translation>Рабочая папка (отчёты, файлы); создаётся, если её нет.</translation>
    </message>
    <message>
        <source>folder</source>
        <translation>папка</translation>
    </message>
    <message>
        <source>Started from the desktop&apos;s menu: work in KV847 in the documents folder.</source>
        <translation>Запуск из меню рабочего стола: работа в папке KV847 среди документов.</translation>
    </message>
    <message>
        <source>--workdir needs a folder.</source>
        <translation>Для --workdir нужно указать папку.</translation>
    </message>
    <message>
        <source>Cannot make the folder %1.</source>
        <translation>Не удаётся создать папку %1.</translation>
    </message>
    <message>
        <source>Cannot work in the folder %1.</source>
        <translation>Не удаётся работать в папке %1.</translation>
    </message>
    <message>
        <source>Write every byte of the link, with its time, to this file.</source>
        <translation>Записывать каждый байт связи с его временем в этот файл.</translation>
    </message>
    <message>
        <source>file</source>
        <translation>файл</translation>
    </message>
    <message>
        <source>Run on a recording made with --record instead of an analyser.</source>
        <translation>Работать по записи, сделанной с --record, вместо анализатора.</translation>
    </message>
    <message>
        <source>Replay this many times faster (0.1 to 1000; default 1).</source>
        <translation>Воспроизводить во столько раз быстрее (от 0.1 до 1000; по умолчанию 1).</translation>
    </message>
    <message>
        <source>factor</source>
        <translation>множитель</translation>
    </message>
    <message>
        <source>--record needs a file.</source>
        <translation>--record: нужно имя файла.</translation>
    </message>
    <message>
        <source>--replay needs a file.</source>
        <translation>--replay: нужно имя файла.</translation>
    </message>
    <message>
        <source>--replay excludes --demo and --port.</source>
        <translation>--replay нельзя сочетать с --demo и --port.</translation>
    </message>
    <message>
        <source>--speed only applies to --replay.</source>
        <translation>--speed действует только вместе с --replay.</translation>
    </message>
    <message>
        <source>--speed needs a factor from 0.1 to 1000.</source>
        <translation>--speed: нужен множитель от 0.1 до 1000.</translation>
    </message>
    <message>
        <source>Print the translation file each language loads from, and exit.</source>
        <translation>Показать, из какого файла загружается перевод каждого языка, и выйти.</translation>
    </message>
    <message>
        <source>%1: not found in %2</source>
        <translation>%1: не найден в %2</translation>
    </message>
</context>
<context>
    <name>setSW</name>
    <message>
        <source>Cable Type:</source>
        <translation>Тип кабеля:</translation>
    </message>
    <message>
        <source>Twisted</source>
        <translation>Витой</translation>
    </message>
    <message>
        <source>Non-Twisted</source>
        <translation>Невитой</translation>
    </message>
    <message>
        <source> wires</source>
        <translation> жил.</translation>
    </message>
    <message>
        <source>pin </source>
        <translation>ж. </translation>
    </message>
    <message>
        <source>Cable Shield</source>
        <translation>Экран кабеля</translation>
    </message>
</context>
</TS>
