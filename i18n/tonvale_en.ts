<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>tonvale</name>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Правка</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Помощь</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Новый файл...</source>
        <translation>New File...</translation>
    </message>
    <message>
        <source>Открыть...</source>
        <translation>Open...</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Сохранить как...</source>
        <translation>Save As...</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Настройки...</source>
        <translation>Settings...</translation>
    </message>
    <message>
        <source>Развернуть</source>
        <translation>Expand</translation>
    </message>
    <message>
        <source>Свернуть</source>
        <translation>Collapse</translation>
    </message>
    <message>
        <source>Новый soundscape...</source>
        <translation>New Soundscape...</translation>
    </message>
    <message>
        <source>Изменить секцию (блок)...</source>
        <translation>Rename Section (Block)...</translation>
    </message>
    <message>
        <source>Удалить секцию (блок)</source>
        <translation>Delete Section (Block)</translation>
    </message>
    <message>
        <source>Новый блок playlooping</source>
        <translation>New playlooping Block</translation>
    </message>
    <message>
        <source>Новый блок playrandom</source>
        <translation>New playrandom Block</translation>
    </message>
    <message>
        <source>Новый блок playsoundscape</source>
        <translation>New playsoundscape Block</translation>
    </message>
    <message>
        <source>Комментарии...</source>
        <translation>Comments...</translation>
    </message>
    <message>
        <source>Новый...</source>
        <translation>New...</translation>
    </message>
    <message>
        <source>Выбрать файл...</source>
        <translation>Choose File...</translation>
    </message>
    <message>
        <source>Найти...</source>
        <translation>Find...</translation>
    </message>
    <message>
        <source>Панель проигрывателя soundscape</source>
        <translation>Soundscape Player Panel</translation>
    </message>
    <message>
        <source>О программе...</source>
        <translation>About...</translation>
    </message>
    <message>
        <source>Справка...</source>
        <translation>Help...</translation>
    </message>
    <message>
        <source>Общая громкость</source>
        <translation>Master Volume</translation>
    </message>
    <message>
        <source>Изменить параметр...</source>
        <translation>Edit Parameter...</translation>
    </message>
    <message>
        <source>Файл изменён другой программой</source>
        <translation>File Changed by Another Program</translation>
    </message>
    <message>
        <source>Вы не можете открыть файл &quot;workfile.txt&quot;, т.к. этот файл является временным файлом приложения</source>
        <translation>You cannot open the file &quot;workfile.txt&quot;: it is the program&apos;s temporary file</translation>
    </message>
    <message>
        <source>Tonvale %1
Редактор soundscape-скриптов с прослушиванием звуков.</source>
        <translation>Tonvale %1
An editor of soundscape scripts that plays their sounds.</translation>
    </message>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Sorry, cannot file exists</source>
        <translation>Sorry, the user guide cannot be found</translation>
    </message>
    <message>
        <source>Справка</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Сохранить файл</source>
        <translation>Save File</translation>
    </message>
    <message>
        <source>Открыть файл</source>
        <translation>Open File</translation>
    </message>
    <message>
        <source>Ошибка загрузки файла</source>
        <translation>Error loading the file</translation>
    </message>
    <message>
        <source>Файлы звуков</source>
        <translation>Sound Files</translation>
    </message>
    <message>
        <source>Звук не найден и пропущен: %1%2</source>
        <translation>Sound not found, skipped: %1%2</translation>
    </message>
    <message>
        <source>Звук не читается и пропущен: %1%2</source>
        <translation>Sound cannot be read, skipped: %1%2</translation>
    </message>
    <message>
        <source>Soundscape не найден: %1%2</source>
        <translation>Soundscape not found: %1%2</translation>
    </message>
    <message>
        <source>В playsoundscape нет &quot;name&quot;%1</source>
        <translation>A playsoundscape has no &quot;name&quot;%1</translation>
    </message>
    <message>
        <source>Ссылки по кругу: %1 (повтор не воспроизводится)</source>
        <translation>Circular references: %1 (the repetition is not played)</translation>
    </message>
    <message>
        <source>Слишком глубокая вложенность, не воспроизводится: %1</source>
        <translation>Nested too deeply, not played: %1</translation>
    </message>
    <message>
        <source>Слишком много звуков, остальные пропущены%1</source>
        <translation>Too many sounds, the rest are skipped%1</translation>
    </message>
    <message>
        <source>Ошибка! Файл не загружен</source>
        <translation>Error! The file is not loaded</translation>
    </message>
    <message>
        <source>Ошибка воспроизведения</source>
        <translation>Playback error</translation>
    </message>
    <message>
        <source>В soundscape нет звуков, которые можно воспроизвести</source>
        <translation>The soundscape has no sounds that can be played</translation>
    </message>
    <message>
        <source>Сохранить звучание в WAV</source>
        <translation>Save the Sound as WAV</translation>
    </message>
    <message>
        <source>В soundscape нет звуков, которые можно сохранить</source>
        <translation>The soundscape has no sounds that can be saved</translation>
    </message>
    <message>
        <source>Звучание сохранено в файл
%1
(%2 сек., %3 Гц, seed %4)</source>
        <translation>The sound was saved to the file
%1
(%2 sec., %3 Hz, seed %4)</translation>
    </message>
    <message>
        <source>Не удалось записать файл
%1
%2</source>
        <translation>Cannot write the file
%1
%2</translation>
    </message>
    <message>
        <source>Не удалось подготовить звук: %1</source>
        <translation>Cannot prepare the sound: %1</translation>
    </message>
    <message>
        <source>В выбранном soundscape отсутсвуют звуки или не правильно указан путь к ним</source>
        <translation>The selected soundscape has no sounds, or the path to them is wrong</translation>
    </message>
    <message>
        <source>Воспроизвести soundscape</source>
        <translation>Play Soundscape</translation>
    </message>
    <message>
        <source>Ошибка воспроизведения файла</source>
        <translation>Error playing the file</translation>
    </message>
    <message>
        <source>Сохранить изменения (во временный файл &quot;~&quot;)</source>
        <translation>Save changes (to the temporary file &quot;~&quot;)</translation>
    </message>
    <message>
        <source>Сохранить изменения (в оригинальный файл)</source>
        <translation>Save changes (to the original file)</translation>
    </message>
    <message>
        <source>Ошибка. Не найдена одна или несколько открывающих(закрывающих) фигурных скобок. Или файл непригоден для загрузки в программу.</source>
        <translation>Error. One or more opening (closing) braces are missing. Or the file cannot be loaded into the program.</translation>
    </message>
    <message>
        <source>Загрузка файла</source>
        <translation>Loading the File</translation>
    </message>
    <message>
        <source>закрывающая скобка «}» без открывающей.</source>
        <translation>closing brace &quot;}&quot; without an opening one.</translation>
    </message>
    <message>
        <source>открывающая скобка «{» не закрыта.</source>
        <translation>opening brace &quot;{&quot; is not closed.</translation>
    </message>
    <message>
        <source>фигурная скобка внутри кавычек.</source>
        <translation>brace inside quotes.</translation>
    </message>
    <message>
        <source>Файл не найден</source>
        <translation>File not found</translation>
    </message>
    <message>
        <source>Файл не имеет данных</source>
        <translation>The file has no data</translation>
    </message>
    <message>
        <source>Ошибка! Не могу создать файл нужного формата</source>
        <translation>Error! Cannot create a file of the required format</translation>
    </message>
    <message>
        <source>Непредвиденная ошибка</source>
        <translation>Unexpected error</translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Изменить</source>
        <translation>Rename</translation>
    </message>
    <message>
        <source>Переместить в начало?</source>
        <translation>Move to the beginning?</translation>
    </message>
    <message>
        <source>Перемещение</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>Внимание, комментарии также удаляются.</source>
        <translation>Note: the comments are deleted too.</translation>
    </message>
    <message>
        <source>Да - первым элементом, Нет - последним элементом.</source>
        <translation>Yes - as the first element, No - as the last element.</translation>
    </message>
    <message>
        <source>Новый файл</source>
        <translation>New File</translation>
    </message>
    <message>
        <source>Создать блоки автоматически?</source>
        <translation>Create the blocks automatically?</translation>
    </message>
    <message>
        <source>Новый soundscape</source>
        <translation>New Soundscape</translation>
    </message>
    <message>
        <source>Новый soundscape (название)</source>
        <translation>New Soundscape (Name)</translation>
    </message>
    <message>
        <source>Откройте или создайте soundscape файл</source>
        <translation>Open or create a soundscape file</translation>
    </message>
    <message>
        <source>Секция с таким названием уже имеется</source>
        <translation>A section with this name already exists</translation>
    </message>
    <message>
        <source>Новый</source>
        <translation>New</translation>
    </message>
    <message>
        <source>Не введено имя заголовка в секции</source>
        <translation>No header name was entered in the section</translation>
    </message>
    <message>
        <source>Не введено наименование параметра (переменной)</source>
        <translation>No parameter (variable) name was entered</translation>
    </message>
    <message>
        <source>Новая секция</source>
        <translation>New Section</translation>
    </message>
    <message>
        <source>Параметр</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>Значение</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Ошибка создания блока playlooping</source>
        <translation>Error creating the playlooping block</translation>
    </message>
    <message>
        <source>Ошибка создания блока playrandom</source>
        <translation>Error creating the playrandom block</translation>
    </message>
    <message>
        <source>Ошибка создания блока rndwave</source>
        <translation>Error creating the rndwave block</translation>
    </message>
    <message>
        <source>Новый блок rndwave</source>
        <translation>New rndwave Block</translation>
    </message>
    <message>
        <source>Ошибка создания блока playsoundscape&quot;</source>
        <translation>Error creating the playsoundscape&quot; block</translation>
    </message>
    <message>
        <source>Новый блок playsoundscape&quot;</source>
        <translation>New playsoundscape&quot; Block</translation>
    </message>
    <message>
        <source>Строка %1: %2</source>
        <translation>Line %1: %2</translation>
    </message>
    <message>
        <source>Вы действительно хотите удалить заголовок (параметр, секцию) %1 в %2?</source>
        <translation>Do you really want to delete the header (parameter, section) %1 in %2?</translation>
    </message>
    <message>
        <source>Вы действительно хотите удалить заголовок (параметр, секцию) %1?</source>
        <translation>Do you really want to delete the header (parameter, section) %1?</translation>
    </message>
    <message>
        <source>Переместить [%1] в начало [%2]?</source>
        <translation>Move [%1] to the beginning of [%2]?</translation>
    </message>
    <message>
        <source> Ожидание... через %1 сек. Volume = %2. Pitch = %3</source>
        <translation> Waiting... %1 sec. Volume = %2. Pitch = %3</translation>
    </message>
    <message>
        <source> [%1] Volume = %2. Pitch = %3; Ожидание... через %4 сек.</source>
        <translation> [%1] Volume = %2. Pitch = %3; Waiting... %4 sec.</translation>
    </message>
    <message>
        <source>Воспроизведение: 1,2e+02 сек.</source>
        <translation>Playing: 1.2e+02 sec.</translation>
    </message>
    <message>
        <source>Кодировка текста документа</source>
        <translation>Text encoding of the document</translation>
    </message>
    <message>
        <source>Файлы звуков (%1);;WAV (*.wav)</source>
        <translation>Sound files (%1);;WAV (*.wav)</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Повторить</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>Панель проекта</source>
        <translation>Project Panel</translation>
    </message>
    <message>
        <source>Скрипты проекта и манифеста</source>
        <translation>The scripts of the project and of its manifest</translation>
    </message>
    <message>
        <source>Проблемы</source>
        <translation>Problems</translation>
    </message>
    <message>
        <source>Проблемы открытого файла и всего проекта</source>
        <translation>Problems of the open file and of the whole project</translation>
    </message>
    <message>
        <source>Перейти к определению</source>
        <translation>Go to Definition</translation>
    </message>
    <message>
        <source>Открыть soundscape, который играет блок playsoundscape</source>
        <translation>Open the soundscape that the playsoundscape block plays</translation>
    </message>
    <message>
        <source>Найти ссылки</source>
        <translation>Find References</translation>
    </message>
    <message>
        <source>Все блоки playsoundscape, которые играют этот soundscape</source>
        <translation>Every playsoundscape block that plays this soundscape</translation>
    </message>
    <message>
        <source>изменение</source>
        <translation>change</translation>
    </message>
</context>
<context>
    <name>tonvale::AudioCommands</name>
    <message>
        <source>Сохранить звучание в WAV</source>
        <translation>Save the Sound as WAV</translation>
    </message>
    <message>
        <source>применение панели проигрывателя</source>
        <translation>applying the player panel</translation>
    </message>
</context>
<context>
    <name>tonvale::CommentsDialog</name>
    <message>
        <source>Комментарий рядом с выбранным элементом</source>
        <translation>Comment beside the selected element</translation>
    </message>
    <message>
        <source>Коментарии над выбранным элементом</source>
        <translation>Comments above the selected element</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>tonvale::FindWindow</name>
    <message>
        <source>Поиск</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>Найти</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>Заменить</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>Искать</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>Поиск (F3)</source>
        <translation>Search (F3)</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Заменить на</source>
        <translation>Replace with</translation>
    </message>
    <message>
        <source>Заменить все</source>
        <translation>Replace All</translation>
    </message>
    <message>
        <source>Найти в таблице</source>
        <translation>Find in Table</translation>
    </message>
    <message>
        <source>Поиск завершен. Повторить поиск?</source>
        <translation>Search finished. Search again?</translation>
    </message>
    <message>
        <source>Поиск по столбцу %1 завершен. Повтороить поиск?</source>
        <translation>Search in column %1 finished. Search again?</translation>
    </message>
    <message>
        <source>Поиск завершен. Повторить поиск с заменой?</source>
        <translation>Search finished. Search and replace again?</translation>
    </message>
    <message>
        <source>Поиск с заменой завершен<byte value="xd"/>Заменено: %1</source>
        <translation>Search and replace finished<byte value="xd"/>Replaced: %1</translation>
    </message>
</context>
<context>
    <name>tonvale::MainWindow</name>
    <message>
        <source>Не удалось открыть файл &quot;%1&quot;. %2</source>
        <translation>Cannot open the file &quot;%1&quot;. %2</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Новый файл</source>
        <translation>New File</translation>
    </message>
    <message>
        <source>Создать блоки автоматически?</source>
        <translation>Create the blocks automatically?</translation>
    </message>
    <message>
        <source>Открыть</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Ошибка. Используйте файлы soundscapes с расширением:  *.txt</source>
        <translation>Error. Use soundscape files with the extension:  *.txt</translation>
    </message>
    <message>
        <source>Ошибка. Файл не найден. Создайте или откройте файл</source>
        <translation>Error. File not found. Create or open a file</translation>
    </message>
    <message>
        <source>Ошибка! Файл не сохранен</source>
        <translation>Error! The file was not saved</translation>
    </message>
    <message>
        <source>Ошибка! Файл не сохранен<byte value="xd"/>%1<byte value="xd"/>%2</source>
        <translation>Error! The file was not saved<byte value="xd"/>%1<byte value="xd"/>%2</translation>
    </message>
    <message>
        <source>Файл изменён другой программой:<byte value="xd"/>%1<byte value="xd"/><byte value="xd"/>Да - загрузить его заново (изменения документа будут потеряны), Нет - записать документ поверх него, Отмена - ничего не делать.</source>
        <translation>The file was changed by another program:<byte value="xd"/>%1<byte value="xd"/><byte value="xd"/>Yes - load it again (the document&apos;s changes will be lost), No - write the document over it, Cancel - do nothing.</translation>
    </message>
    <message>
        <source>Файл изменён другой программой:<byte value="xd"/>%1<byte value="xd"/>Загрузить его заново? Изменения документа будут потеряны.</source>
        <translation>The file was changed by another program:<byte value="xd"/>%1<byte value="xd"/>Load it again? The document&apos;s changes will be lost.</translation>
    </message>
    <message>
        <source>Файл изменён другой программой:<byte value="xd"/>%1<byte value="xd"/>Загрузить его заново?</source>
        <translation>The file was changed by another program:<byte value="xd"/>%1<byte value="xd"/>Load it again?</translation>
    </message>
    <message>
        <source>Сохранить как</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>Ошибка! Не могу сохранить файл под новым именем.</source>
        <translation>Error! Cannot save the file under the new name.</translation>
    </message>
    <message>
        <source>Сохранить как...</source>
        <translation>Save As...</translation>
    </message>
    <message>
        <source>Конструктор</source>
        <translation>Designer</translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Ошибка сохранения параметра</source>
        <translation>Error saving the parameter</translation>
    </message>
    <message>
        <source>Сохранить таблицу</source>
        <translation>Save Table</translation>
    </message>
    <message>
        <source>Правка</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Помощь</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Инициализация</source>
        <translation>Initialisation</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Ошибка. Не найдена одна или несколько открывающих(закрывающих) фигурных скобок. </source>
        <translation>Error. One or more opening (closing) braces are missing. </translation>
    </message>
    <message>
        <source>Сохранение временного файла</source>
        <translation>Saving the Temporary File</translation>
    </message>
    <message>
        <source> Строка %1: блок вложен глубже, чем на один уровень.</source>
        <translation> Line %1: a block is nested deeper than one level.</translation>
    </message>
    <message>
        <source>Недостаточно памяти: текст слишком велик, чтобы вернуть его в дерево.</source>
        <translation>Not enough memory: the text is too large to bring it back into the tree.</translation>
    </message>
    <message>
        <source>Строка %1 длиннее %2 КБ: такой текст не показывается во вкладке &quot;Файл&quot;. Документ можно править в дереве.</source>
        <translation>Line %1 is longer than %2 KB: such a text is not shown in the &quot;File&quot; tab. The document can be edited in the tree.</translation>
    </message>
    <message>
        <source>Недостаточно памяти: документ слишком велик, чтобы показать его текстом.</source>
        <translation>Not enough memory: the document is too large to show it as text.</translation>
    </message>
    <message>
        <source>Документ вложен слишком глубоко (%1 уровней), чтобы развернуть его целиком. Разворачивайте ветви по одной.</source>
        <translation>The document is nested too deeply (%1 levels) to expand it whole. Expand the branches one by one.</translation>
    </message>
    <message>
        <source>Развернуть</source>
        <translation>Expand</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Повторить</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>значение %1</source>
        <translation>value %1</translation>
    </message>
    <message>
        <source>правка текстом</source>
        <translation>edit as text</translation>
    </message>
    <message>
        <source>Оформление файла сохранить не удалось: изменения не ложатся в его текст без потерь. Записать файл в каноническом виде?</source>
        <translation>The file's layout cannot be kept: the changes do not fit its text without loss. Write the file in the canonical layout?</translation>
    </message>
    <message>
        <source>Загрузка файла...</source>
        <translation>Loading the file...</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>tonvale::MasterVolumeWindow</name>
    <message>
        <source>Общая громкость</source>
        <translation>Master Volume</translation>
    </message>
    <message>
        <source>Общая громкость [%1]</source>
        <translation>Master Volume [%1]</translation>
    </message>
</context>
<context>
    <name>tonvale::NewElementDialog</name>
    <message>
        <source>Заголовок в выбранном элементе</source>
        <translation>Header in the selected element</translation>
    </message>
    <message>
        <source>Параметр-значение в выбранном элементе</source>
        <translation>Parameter and value in the selected element</translation>
    </message>
    <message>
        <source>Комментарий рядом с выбранным элементом</source>
        <translation>Comment beside the selected element</translation>
    </message>
    <message>
        <source>Коментарии над выбранным элементом</source>
        <translation>Comments above the selected element</translation>
    </message>
    <message>
        <source>Создать</source>
        <translation>Create</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>tonvale::ParamGridModel</name>
    <message>
        <source>Параметр или переменная</source>
        <translation>Parameter or variable</translation>
    </message>
    <message>
        <source>Значение</source>
        <translation>Value</translation>
    </message>
</context>
<context>
    <name>tonvale::PlayerPanel</name>
    <message>
        <source>Установить значение (Enter)</source>
        <translation>Set Value (Enter)</translation>
    </message>
    <message>
        <source>&lt;Enter&gt; - установить значение</source>
        <translation>&lt;Enter&gt; - set the value</translation>
    </message>
    <message>
        <source>Весь soundscape: все playlooping, все playrandom и вложенные playsoundscape</source>
        <translation>The whole soundscape: every playlooping, every playrandom and the nested playsoundscape</translation>
    </message>
    <message>
        <source>Сохранить звучание
в WAV...</source>
        <translation>Save the Sound
as WAV...</translation>
    </message>
    <message>
        <source>Сохранить звучание в WAV...</source>
        <translation>Save the sound as WAV...</translation>
    </message>
    <message>
        <source>Применить</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source> Random: ожидание... через %1 сек.</source>
        <translation> Random: waiting... %1 sec.</translation>
    </message>
    <message>
        <source>Сохранение звучания в WAV...</source>
        <translation>Saving the sound as WAV...</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>tonvale::ProjectCommands</name>
    <message>
        <source>Скрипт</source>
        <translation>Script</translation>
    </message>
    <message>
        <source>Состояние</source>
        <translation>State</translation>
    </message>
    <message>
        <source>Проект</source>
        <translation>Project</translation>
    </message>
    <message>
        <source>Открытый файл</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>Весь проект</source>
        <translation>Whole project</translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Строка</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>Важность</source>
        <translation>Severity</translation>
    </message>
    <message>
        <source>Сообщение</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>Проблемы</source>
        <translation>Problems</translation>
    </message>
    <message>
        <source>Ссылки</source>
        <translation>References</translation>
    </message>
    <message>
        <source>Проект: индексация...</source>
        <translation>Project: indexing...</translation>
    </message>
    <message>
        <source>Проект: индексация %1 из %2</source>
        <translation>Project: indexing %1 of %2</translation>
    </message>
    <message>
        <source>Проект: скриптов %1, ошибок %2, предупреждений %3</source>
        <translation>Project: %1 scripts, %2 errors, %3 warnings</translation>
    </message>
    <message>
        <source>нет файла</source>
        <translation>no file</translation>
    </message>
    <message>
        <source>нет в манифесте</source>
        <translation>not in the manifest</translation>
    </message>
    <message>
        <source>открыт</source>
        <translation>open</translation>
    </message>
    <message>
        <source>проблем: %1</source>
        <translation>problems: %1</translation>
    </message>
    <message>
        <source>Проблемы (%1)</source>
        <translation>Problems (%1)</translation>
    </message>
    <message>
        <source>Нет файла: %1</source>
        <translation>No file: %1</translation>
    </message>
    <message>
        <source>Выберите строку &quot;name&quot; блока playsoundscape</source>
        <translation>Select the &quot;name&quot; row of a playsoundscape block</translation>
    </message>
    <message>
        <source>Soundscape &quot;%1&quot; не определён ни в одном скрипте проекта</source>
        <translation>Soundscape &quot;%1&quot; is defined in no script of the project</translation>
    </message>
    <message>
        <source>Ссылки на %1: %2</source>
        <translation>References to %1: %2</translation>
    </message>
    <message>
        <source>Soundscape &quot;%1&quot; не играет ни один блок playsoundscape проекта</source>
        <translation>No playsoundscape block of the project plays soundscape &quot;%1&quot;</translation>
    </message>
    <message>
        <source>ошибка</source>
        <translation>error</translation>
    </message>
    <message>
        <source>предупреждение</source>
        <translation>warning</translation>
    </message>
</context>
<context>
    <name>tonvale::SaveOriginDialog</name>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Вы действительно хотите сохранить текущий файл как оригинальный файл ресурса?</source>
        <translation>Do you really want to save the current file as the original file of the resource?</translation>
    </message>
    <message>
        <source>Да</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Больше не спрашивать</source>
        <translation>Do not ask again</translation>
    </message>
</context>
<context>
    <name>tonvale::SettingsDialog</name>
    <message>
        <source>Настройки</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Сохранять файл как...</source>
        <translation>Save the file as...</translation>
    </message>
    <message>
        <source>Временный файл с префиксом ~ (в каталоге ресурса)</source>
        <translation>Temporary file with the prefix ~ (in the resource folder)</translation>
    </message>
    <message>
        <source>Оригинальный файл в каталоге ресурса</source>
        <translation>The original file in the resource folder</translation>
    </message>
    <message>
        <source>Покзывать запрос на подтверждение сохранения оригинального файла</source>
        <translation>Ask before saving over the original file</translation>
    </message>
    <message>
        <source>Путь к файлам</source>
        <translation>File paths</translation>
    </message>
    <message>
        <source>Путь к скриптам</source>
        <translation>Scripts path</translation>
    </message>
    <message>
        <source>Путь к звукам</source>
        <translation>Sounds path</translation>
    </message>
    <message>
        <source>Язык интерфейса</source>
        <translation>Interface language</translation>
    </message>
    <message>
        <source>(при следующем запуске)</source>
        <translation>(from the next start)</translation>
    </message>
    <message>
        <source>Путь к soundscapes</source>
        <translation>Path to the soundscapes</translation>
    </message>
    <message>
        <source>Путь к \sound</source>
        <translation>Path to \sound</translation>
    </message>
    <message>
        <source>Сохранять оформление файла</source>
        <translation>Keep the file's layout</translation>
    </message>
    <message>
        <source>Переписываются только строки, которые изменены; остальной текст файла (отступы, пустые строки, комментарии, скобки) остаётся как был.</source>
        <translation>Only the changed lines are rewritten; the rest of the file (indentation, blank lines, comments, braces) stays as it was.</translation>
    </message>
</context>
<context>
    <name>tonvale::TextPage</name>
    <message>
        <source>Уменьшить</source>
        <translation>Smaller</translation>
    </message>
    <message>
        <source>Увеличить</source>
        <translation>Larger</translation>
    </message>
</context>
<context>
    <name>tonvale::TreeEditor</name>
    <message>
        <source>Название нового soundscape:</source>
        <translation>Name of the new soundscape:</translation>
    </message>
    <message>
        <source>Новый - [</source>
        <translation>New - [</translation>
    </message>
    <message>
        <source>Комментарии [</source>
        <translation>Comments [</translation>
    </message>
    <message>
        <source>новый soundscape %1</source>
        <translation>new soundscape %1</translation>
    </message>
    <message>
        <source>новый блок %1</source>
        <translation>new block %1</translation>
    </message>
    <message>
        <source>новый элемент</source>
        <translation>new element</translation>
    </message>
    <message>
        <source>переименование %1</source>
        <translation>rename %1</translation>
    </message>
    <message>
        <source>удаление %1</source>
        <translation>delete %1</translation>
    </message>
    <message>
        <source>комментарии %1</source>
        <translation>comments %1</translation>
    </message>
    <message>
        <source>перемещение %1</source>
        <translation>move %1</translation>
    </message>
    <message>
        <source>выбор файла %1</source>
        <translation>file chosen for %1</translation>
    </message>
</context>
<context>
    <name>tonvale::WavePreview</name>
    <message>
        <source>Остановлено</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>Воспроизведение: %1 сек.</source>
        <translation>Playing: %1 sec.</translation>
    </message>
</context>
</TS>
